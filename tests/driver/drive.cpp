// drive.exe: runs a program under the window driver, for the sample run.
//   drive.exe [--shots DIR] [--transcript FILE] [--timeout MS]
//             [--answer "CAPTION|TEXT|BUTTON"]... -- PROGRAM [ARGS...]
// Exit code: the program's, 98 when a box nobody expected came, 99 on timeout.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/WindowDriver.h"

int main(int argc, char** argv)
{
    TestDriver::WindowDriver driver;
    std::string transcript;
    DWORD timeout = 600000;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        std::string option = argv[i];
        if (i + 1 >= argc)
            break;
        std::string value = argv[++i];
        if (option == "--shots") {
            CreateDirectoryA(value.c_str(), nullptr);
            driver.SetScreenshotFolder(value);
        } else if (option == "--transcript") {
            transcript = value;
        } else if (option == "--timeout") {
            timeout = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (option == "--answer") {
            size_t a = value.find('|'), b = value.rfind('|');
            if (a == std::string::npos || a == b) {
                std::fprintf(stderr, "drive: --answer wants CAPTION|TEXT|BUTTON, got %s\n", value.c_str());
                return 2;
            }
            driver.Answer(value.substr(0, a), value.substr(a + 1, b - a - 1),
                          std::atoi(value.c_str() + b + 1), -1);
        } else {
            std::fprintf(stderr, "drive: unknown option %s\n", option.c_str());
            return 2;
        }
    }
    if (i >= argc - 1) {
        std::fprintf(stderr, "drive: no program given after --\n");
        return 2;
    }
    std::string command;
    for (++i; i < argc; ++i)
        command += (command.empty() ? "" : " ") + std::string("\"") + argv[i] + "\"";
    if (!driver.Start(command)) {
        std::fprintf(stderr, "drive: cannot start %s (error %lu)\n", command.c_str(), GetLastError());
        return 2;
    }
    DWORD code = 0;
    bool ended = driver.WaitForExit(timeout, &code);
    if (!transcript.empty()) {
        if (FILE* f = std::fopen(transcript.c_str(), "wb")) {
            std::string text = driver.Transcript();
            std::fwrite(text.data(), 1, text.size(), f);
            std::fclose(f);
        }
    }
    if (!ended) {
        std::fprintf(stderr, "drive: the program did not end within %lu ms and was killed\n", timeout);
        return 99;
    }
    if (!driver.Unexpected().empty()) {
        std::fprintf(stderr, "drive: %u message box(es) came that nobody expected\n",
                     static_cast<unsigned>(driver.Unexpected().size()));
        return 98;
    }
    return static_cast<int>(code);
}
