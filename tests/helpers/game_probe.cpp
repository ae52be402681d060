// Stands in for the running game: holds the mutex named by its first
// argument until it is killed or 60 s have passed.
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    HANDLE mutex = CreateMutexA(nullptr, TRUE, argv[1]);
    if (!mutex)
        return 1;
    Sleep(60000);
    CloseHandle(mutex);
    return 0;
}
