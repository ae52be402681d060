#pragma once

#include <windows.h>

namespace Corvane { namespace Base { namespace File {

// Both programs run from a folder the user downloaded, which any program of
// the user's may write to, and the installer runs elevated: no DLL may come
// from there. The programs import only DLLs that Windows always takes from
// its own folder; everything else is loaded through these.

// The first act of a program: later loads search the system folder only,
// and never the current folder.
void RestrictDllSearch();

// A DLL from the system folder, by its full path; null when it is not there.
HMODULE LoadSystemLibrary(const char* name);

// Milliseconds since the system started, as timeGetTime gives them; the
// system's tick count where the multimedia timer cannot be had.
DWORD SystemTimeMs();

}}}
