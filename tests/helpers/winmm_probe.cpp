// Imports winmm.dll the ordinary way, as the programs once did: with a
// planted winmm.dll beside it and native DLLs preferred, that one is loaded.
#include <windows.h>
#include <mmsystem.h>

int main()
{
    return timeGetTime() == 0 ? 1 : 0;
}
