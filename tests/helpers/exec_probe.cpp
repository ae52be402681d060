// exec_probe.exe OUTPUT ARG...: after a short pause writes its arguments, one per line, to OUTPUT.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    Sleep(300);  // a caller that does not wait would see no file yet
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr)
        return 2;
    for (int i = 2; i < argc; ++i)
        std::fprintf(out, "%s\n", argv[i]);
    std::fclose(out);
    return 0;
}
