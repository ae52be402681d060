#include "PictureSchedule.h"

namespace Installer {

int ChoosePictureSlot(const PictureSlot (&slots)[kPictureSlots], unsigned percent)
{
    for (int i = kPictureSlots - 1; i >= 0; --i) {
        if (slots[i].threshold == -1 || !slots[i].bitmap)
            continue;
        // Negative thresholds count as reached.
        if (slots[i].threshold < 0 || static_cast<unsigned>(slots[i].threshold) <= percent)
            return i;
    }
    return -1;
}

}  // namespace Installer
