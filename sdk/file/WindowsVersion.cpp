#include "file/WindowsVersion.h"

namespace Corvane { namespace Base { namespace File {

int WindowsVersionCode(unsigned long platform, unsigned long major, unsigned long minor,
                       char servicePackChar)
{
    switch (platform) {
    case 0:  // Win32s
        return 1;
    case 1:  // Windows 95 family
        if (major < 4)
            return 1;
        if (major > 4)
            return 13;
        if (minor == 0)
            return servicePackChar == 'B' || servicePackChar == 'C' ? 3 : 2;
        if (minor == 10)
            return servicePackChar == 'A' ? 5 : 4;
        if (minor == 90)
            return 6;
        return 1;
    case 2:  // NT family
        if (major <= 4)
            return 7;
        if (major == 5)
            return minor == 0 ? 8 : minor == 1 ? 9 : minor == 2 ? 10 : 13;
        if (major == 6)
            return minor == 0 ? 11 : minor == 1 ? 12 : 13;
        return 13;
    default:
        return 0;
    }
}

}}}
