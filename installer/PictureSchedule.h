#pragma once

// Which background picture the large progress dialog shows for a percentage.
// Pure: the bitmaps are opaque handles here.

namespace Installer {

enum { kPictureSlots = 50 };

struct PictureSlot {
    void* bitmap = nullptr;  // null: empty slot
    int threshold = -1;      // percent; -1: slot not in use
};

// Index (0-based) of the highest slot in use, with a bitmap, whose threshold
// has been reached; -1 when none qualifies.
int ChoosePictureSlot(const PictureSlot (&slots)[kPictureSlots], unsigned percent);

}  // namespace Installer
