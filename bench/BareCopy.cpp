#include "BareCopy.h"

namespace Bench {

namespace {

const DWORD kBuffer = 16384;

bool CopyOne(const std::string& from, const std::string& to, char* buffer)
{
    HANDLE in = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return false;
    HANDLE out = CreateFileA(to.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        return false;
    }
    bool ok = true;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(in, &size))
        ok = false;
    unsigned long long left = ok ? static_cast<unsigned long long>(size.QuadPart) : 0;
    while (ok && left > 0) {
        DWORD chunk = left < kBuffer ? static_cast<DWORD>(left) : kBuffer;
        DWORD got = 0, wrote = 0;
        ok = ReadFile(in, buffer, chunk, &got, nullptr) && got == chunk &&
             WriteFile(out, buffer, chunk, &wrote, nullptr) && wrote == chunk;
        left -= chunk;
    }
    CloseHandle(out);
    CloseHandle(in);
    return ok;
}

struct CopyJob {
    const std::string* source;
    const std::string* destination;
    const std::vector<std::string>* relative;
    volatile LONG done;
    bool ok;
};

DWORD WINAPI CopyThread(LPVOID argument)
{
    CopyJob* job = static_cast<CopyJob*>(argument);
    job->ok = BareCopy(*job->source, *job->destination, *job->relative);
    InterlockedExchange(&job->done, 1);
    return 0;
}

}  // namespace

void BareList(const std::string& folder, std::vector<BareEntry>& out)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const char* name = data.cFileName;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        std::string path = folder + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            BareList(path, out);
        else
            out.push_back(BareEntry{path, (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

bool BareCopy(const std::string& source, const std::string& destination, const std::vector<std::string>& relative)
{
    std::vector<char> buffer(kBuffer);
    CreateDirectoryA(destination.c_str(), nullptr);
    std::string lastFolder;
    for (const std::string& name : relative) {
        std::string to = destination + "\\" + name;
        size_t cut = to.find_last_of('\\');
        std::string folder = to.substr(0, cut);
        if (folder != lastFolder) {
            // One level below the destination is all the file sets use.
            CreateDirectoryA(folder.c_str(), nullptr);
            lastFolder = folder;
        }
        if (!CopyOne(source + "\\" + name, to, buffer.data()))
            return false;
    }
    return true;
}

bool BareCopyOnThread(const std::string& source, const std::string& destination,
                      const std::vector<std::string>& relative)
{
    CopyJob job{&source, &destination, &relative, 0, false};
    HANDLE thread = CreateThread(nullptr, 0, CopyThread, &job, CREATE_SUSPENDED, nullptr);
    if (thread == nullptr)
        return false;
    SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);
    ResumeThread(thread);
    while (!job.done)
        Sleep(10);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return job.ok;
}

}  // namespace Bench
