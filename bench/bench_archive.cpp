// Loading a 64 MiB archive member through CFile against reading its block
// and calling zlib's uncompress directly.

#include <windows.h>

#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "BenchTable.h"
#include "file/CFile.h"
#include "file/PakFormat.h"

using namespace Corvane::Base::File;

namespace {

// Text-like data that deflates to about a third.
std::string Content(size_t n)
{
    static const char* words[] = {"voice", "scene", "char", "0001", "bgm", "\x83\x5c", "ogg", "pak", "\r\n", " "};
    std::string s;
    s.reserve(n + 16);
    unsigned x = 12345;
    while (s.size() < n) {
        x = x * 1103515245u + 12345u;
        s += words[(x >> 16) % 10];
        if ((x >> 8) % 7 == 0)
            s += static_cast<char>('a' + (x >> 24) % 26);
    }
    s.resize(n);
    return s;
}

bool WriteAll(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(h);
    return ok;
}

}  // namespace

int main()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "bench_archive";
    CreateDirectoryA(folder.c_str(), nullptr);
    const size_t size = 64u << 20;
    std::string data = Content(size);
    std::string block;
    if (!Pak::MakeBlock(reinterpret_cast<const unsigned char*>(data.data()), data.size(), block, 6))
        return 1;
    std::string name = "voice\\member.ogg";
    uint32_t offset = static_cast<uint32_t>(Pak::kHeaderSize + 4 + Pak::EntrySize(name));
    std::vector<Pak::Entry> entries = {{name, offset, static_cast<uint32_t>(block.size())}};
    std::string directory = Pak::EncodeDirectory(entries);
    std::string archive = Pak::EncodeArchiveHeader(static_cast<uint32_t>(directory.size())) + directory + block;
    std::string archivePath = folder + "\\data.pak";
    if (!WriteAll(archivePath, archive))
        return 1;
    std::printf("member: %zu bytes, block %zu bytes\n", data.size(), block.size());
    Bench::Header("64 MiB archive member", "CFile Load+Read", "ReadFile+uncompress");

    std::vector<unsigned char> out(size);
    bool same = true;
    Bench::Row("load 64 MiB member", 7,
               [&] {
                   CFile f;
                   if (f.Load(folder + "\\data\\voice\\member.ogg") != 1 || f.Read(out.data(), 1, f.GetSize()) != size)
                       same = false;
               },
               [&] {
                   HANDLE h = CreateFileA(archivePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
                   std::vector<unsigned char> raw(entries[0].m_Length);
                   DWORD got = 0;
                   SetFilePointer(h, static_cast<LONG>(offset), nullptr, FILE_BEGIN);
                   ReadFile(h, raw.data(), static_cast<DWORD>(raw.size()), &got, nullptr);
                   CloseHandle(h);
                   Pak::ScrambleBlockHead(raw.data(), raw.size());
                   std::vector<unsigned char> inflated(size);
                   uLongf n = static_cast<uLongf>(size);
                   uncompress(inflated.data(), &n, raw.data(), static_cast<uLong>(raw.size() - 4));
                   std::memcpy(out.data(), inflated.data(), n);
               });
    same = same && std::memcmp(out.data(), data.data(), size) == 0;
    DeleteFileA(archivePath.c_str());
    RemoveDirectoryA(folder.c_str());
    std::printf("content %s\n", same ? "identical" : "DIFFERS");
    return same ? 0 : 1;
}
