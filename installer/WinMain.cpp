#include <windows.h>

#include "InstallerMain.h"
#include "appframe/CAppInitializer.h"
#include "file/SystemLibrary.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    // Before anything else can load a DLL: this program's folder may hold planted ones.
    Corvane::Base::File::RestrictDllSearch();
    {
        // First object built, last destroyed: it stops and joins every SDK thread.
        Corvane::Base::AppFrame::CAppInitializer initializer(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
        Installer::RunInstaller();
    }
    return 0;
}
