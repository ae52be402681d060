#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Bench {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string CommandLineTail()
{
    const char* p = GetCommandLineA();
    bool quoted = false;
    while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
        if (*p == '"')
            quoted = !quoted;
        ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

Options ParseOptions(const std::string& commandLine)
{
    Options options;
    size_t at = 0;
    while (at < commandLine.size()) {
        size_t end = commandLine.find(' ', at);
        if (end == std::string::npos)
            end = commandLine.size();
        std::string word = commandLine.substr(at, end - at);
        at = end + 1;
        if (word.compare(0, 7, "--data=") == 0)
            options.data = word.substr(7);
        else if (word.compare(0, 7, "--reps=") == 0)
            options.reps = std::max(1, std::atoi(word.c_str() + 7));
        else if (word.compare(0, 8, "--scale=") == 0)
            options.scale = std::atof(word.c_str() + 8);
        else if (word.compare(0, 7, "--sets=") == 0) {
            std::string list = word.substr(7);
            size_t from = 0;
            while (from <= list.size()) {
                size_t comma = list.find(',', from);
                if (comma == std::string::npos)
                    comma = list.size();
                if (comma > from)
                    options.sets.push_back(list.substr(from, comma - from));
                from = comma + 1;
            }
        }
    }
    if (options.scale <= 0)
        options.scale = 1.0;
    if (options.data.empty()) {
        char buffer[MAX_PATH];
        DWORD n = GetTempPathA(MAX_PATH, buffer);
        options.data = std::string(buffer, n) + "corvane-bench";
    }
    return options;
}

namespace {

std::string SizeText(unsigned long long size)
{
    char text[64];
    if (size >= (1ull << 30) && size % (1ull << 30) == 0)
        std::snprintf(text, sizeof(text), "%llu GiB", size >> 30);
    else if (size >= 1024 && size % 1024 == 0)
        std::snprintf(text, sizeof(text), "%llu KiB", size >> 10);
    else
        std::snprintf(text, sizeof(text), "%llu B", size);
    return text;
}

int Scaled(int n, double scale)
{
    return std::max(1, static_cast<int>(n * scale + 0.5));
}

bool WriteWhole(const std::string& path, const std::vector<char>& block, unsigned long long size)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    while (ok && size > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<unsigned long long>(size, block.size()));
        DWORD wrote = 0;
        ok = WriteFile(h, block.data(), chunk, &wrote, nullptr) && wrote == chunk;
        size -= chunk;
    }
    CloseHandle(h);
    return ok;
}

void CollectNames(const std::string& folder, const std::string& prefix, std::vector<std::string>& out)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectNames(folder + "\\" + name, prefix + name + "\\", out);
        else if (name[0] != '.')  // the set's own marker
            out.push_back(prefix + name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

}  // namespace

bool LookupFileSet(const std::string& key, double scale, FileSet& set)
{
    if (key == "1g")
        set = FileSet{key, "", 1, static_cast<unsigned long long>((1ull << 30) * std::min(scale, 1.0)), 0};
    else if (key == "256k")
        set = FileSet{key, "", Scaled(2000, scale), 256 * 1024, 0};
    else if (key == "1k")
        set = FileSet{key, "", Scaled(20000, scale), 1024, 100};
    else if (key == "100k")
        set = FileSet{key, "", Scaled(100000, scale), 1024, 500};
    else if (key == "1b")
        set = FileSet{key, "", 1, 1, 0};
    else
        return false;
    char text[128];
    if (set.count == 1)
        std::snprintf(text, sizeof(text), "one %s file", SizeText(set.size).c_str());
    else if (set.folders > 0)
        std::snprintf(text, sizeof(text), "%d files of %s in %d folders", set.count, SizeText(set.size).c_str(),
                      set.folders);
    else
        std::snprintf(text, sizeof(text), "%d files of %s", set.count, SizeText(set.size).c_str());
    set.label = text;
    return true;
}

std::string EnsureFileSet(const std::string& data, const FileSet& set)
{
    char name[96];
    std::snprintf(name, sizeof(name), "%dx%llu-%d", set.count, set.size, set.folders);
    std::string src = data + "\\src";
    std::string folder = src + "\\" + name;
    std::string marker = folder + "\\.complete";
    if (GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES)
        return folder;
    CreateDirectoryA(data.c_str(), nullptr);
    CreateDirectoryA(src.c_str(), nullptr);
    DeleteTree(folder);
    if (!CreateDirectoryA(folder.c_str(), nullptr))
        return std::string();
    std::fprintf(stdout, "(writing the file set %s once: %s)\n", name, set.label.c_str());
    std::fflush(stdout);
    std::vector<char> block(1 << 20);
    unsigned x = 2166136261u;
    for (char& c : block) {
        x = x * 16777619u + 7;
        c = static_cast<char>(x >> 24);
    }
    for (int f = 0; f < set.folders; ++f) {
        char sub[32];
        std::snprintf(sub, sizeof(sub), "\\d%03d", f);
        CreateDirectoryA((folder + sub).c_str(), nullptr);
    }
    for (int i = 0; i < set.count; ++i) {
        char file[64];
        if (set.folders > 0)
            std::snprintf(file, sizeof(file), "\\d%03d\\f%06d.bin", i % set.folders, i);
        else
            std::snprintf(file, sizeof(file), "\\f%06d.bin", i);
        if (!WriteWhole(folder + file, block, set.size))
            return std::string();
    }
    HANDLE h = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::string();
    CloseHandle(h);
    return folder;
}

std::vector<std::string> RelativeNames(const std::string& folder)
{
    std::vector<std::string> names;
    CollectNames(folder, "", names);
    return names;
}

bool DeleteTree(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileA(path.c_str()) != FALSE;
    }
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*.*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name != "." && name != "..")
                DeleteTree(path + "\\" + name);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    return RemoveDirectoryA(path.c_str()) != FALSE;
}

std::string OutputFolder(const std::string& data, const char* name)
{
    char suffix[32];
    std::snprintf(suffix, sizeof(suffix), "-%lu", GetCurrentProcessId());
    return data + "\\" + name + suffix;
}

void RetireTree(const std::string& data, const std::string& path)
{
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    static unsigned counter = 0;
    std::string trash = data + "\\trash";
    CreateDirectoryA(trash.c_str(), nullptr);
    char name[64];
    std::snprintf(name, sizeof(name), "\\%lu-%u", GetCurrentProcessId(), counter++);
    if (!MoveFileA(path.c_str(), (trash + name).c_str()))
        DeleteTree(path);
}

bool Interleave(int reps, const std::function<void()>& prepare, const std::function<double()>& ours,
                const std::function<double()>& yardstick, std::vector<double>& oursSamples,
                std::vector<double>& yardstickSamples)
{
    for (int i = 0; i < reps; ++i) {
        for (int side = 0; side < 2; ++side) {
            bool oursNow = (side == 0) == (i % 2 == 0);
            if (prepare)
                prepare();
            double t = oursNow ? ours() : yardstick();
            if (t < 0) {
                std::fprintf(stdout, "  run %d of %s failed\n", i, oursNow ? "ours" : "the yardstick");
                return false;
            }
            (oursNow ? oursSamples : yardstickSamples).push_back(t);
        }
    }
    return true;
}

void PrintTableHead(const char* title, const char* oursName, const char* yardstickName)
{
    std::fprintf(stdout, "\n%s\n\n", title);
    std::fprintf(stdout, "| Work | %s median (min-max) | %s median (min-max) | ratio | note |\n", yardstickName,
                 oursName);
    std::fprintf(stdout, "|---|---|---|---|---|\n");
    std::fflush(stdout);
}

void PrintRow(const std::string& work, const std::vector<double>& ours, const std::vector<double>& yardstick,
              const std::string& note)
{
    Stats o = Summarise(ours), y = Summarise(yardstick);
    char ratio[32] = "-";
    if (o.median > 0)
        std::snprintf(ratio, sizeof(ratio), "%.2f", y.median / o.median);
    std::fprintf(stdout, "| %s | %.3f s (%.3f-%.3f) | %.3f s (%.3f-%.3f) | %s | %s |\n", work.c_str(), y.median,
                 y.min, y.max, o.median, o.min, o.max, ratio, note.c_str());
    std::fflush(stdout);
}

void PrintNote(const std::string& text)
{
    std::fprintf(stdout, "%s\n", text.c_str());
    std::fflush(stdout);
}

bool StartChild(const std::string& commandLine, const std::string& folder, Child& child)
{
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    child.process = info.hProcess;
    child.id = info.dwProcessId;
    return true;
}

bool WaitChild(Child& child, DWORD timeoutMs)
{
    if (WaitForSingleObject(child.process, timeoutMs) == WAIT_OBJECT_0)
        return true;
    TerminateProcess(child.process, 1);
    WaitForSingleObject(child.process, 5000);
    return false;
}

void CloseChild(Child& child)
{
    if (child.process)
        CloseHandle(child.process);
    child = Child();
}

std::string ModuleFolder()
{
    char buffer[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    std::string path(buffer, n);
    return path.substr(0, path.find_last_of('\\'));
}

std::string Quote(const std::string& s)
{
    return "\"" + s + "\"";
}

}  // namespace Bench
