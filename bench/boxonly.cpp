// The trivial program: one message box, nothing else.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    MessageBoxA(nullptr, "box", "boxonly", MB_YESNO);
    return 0;
}
