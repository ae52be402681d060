#include <windows.h>

#include "SetupMain.h"
#include "appframe/CAppInitializer.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    {
        // First object built, last destroyed: it stops and joins every SDK thread.
        Corvane::Base::AppFrame::CAppInitializer initializer(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
        Setup::RunSetup();
    }
    return 0;
}
