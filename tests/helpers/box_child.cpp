// Shows one message box: box_child.exe TYPE CAPTION TEXT. Exit code: the pressed button.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 4)
        return 100;
    UINT type = static_cast<UINT>(std::strtoul(argv[1], nullptr, 0));
    return MessageBoxA(nullptr, argv[3], argv[2], type);
}
