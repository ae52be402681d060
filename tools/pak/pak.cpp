// pak: builds, lists, checks and unpacks .pak archives and single compressed
// files for publishers. Builds natively (Linux, UTF-8 file names) and as a
// Windows console program; names are stored in code page 932 either way.

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <unistd.h>
#endif

#include "file/PakFormat.h"
#include "file/PathText.h"

namespace fs = std::filesystem;
namespace Pak = Corvane::Base::File::Pak;

namespace {

const size_t kChunk = 1 << 20;
const int kLevel = 6;

// Every failure carries the file it concerns and what is wrong with it.
struct Failure {
    std::string m_Path;
    std::string m_What;
};

// Paths in messages, in the console's encoding.
std::string Display(const fs::path& p)
{
#ifdef _WIN32
    std::wstring w = p.wstring();
    int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), &out[0], n, nullptr, nullptr);
    return out;
#else
    return p.string();
#endif
}

// ---- names: native <-> code page 932 ----

#ifdef _WIN32
bool ToCp932(const fs::path& component, std::string& out)
{
    std::wstring w = component.wstring();
    if (w.empty()) {
        out.clear();
        return true;
    }
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, &usedDefault);
    if (n <= 0 || usedDefault)
        return false;
    out.resize(n);
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), &out[0], n, nullptr,
                        &usedDefault);
    return !usedDefault;
}

bool FromCp932(const std::string& text, fs::path& out)
{
    if (text.empty()) {
        out = fs::path();
        return true;
    }
    int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0)
        return false;
    std::wstring w(n, L'\0');
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), &w[0], n);
    out = fs::path(w);
    return true;
}
#else
bool Convert(const char* to, const char* from, const std::string& in, std::string& out)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out.assign(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = &out[0];
    size_t dstLeft = out.size();
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || srcLeft != 0)
        return false;
    out.resize(out.size() - dstLeft);
    return true;
}

bool ToCp932(const fs::path& component, std::string& out)
{
    return Convert("CP932", "UTF-8", component.string(), out);
}

bool FromCp932(const std::string& text, fs::path& out)
{
    std::string utf8;
    if (!Convert("UTF-8", "CP932", text, utf8))
        return false;
    out = fs::path(utf8);
    return true;
}
#endif

// The member name of `file` below `root`: CP932 components joined by '\'.
bool MemberName(const fs::path& root, const fs::path& file, std::string& name, Failure& failure)
{
    name.clear();
    for (const fs::path& part : file.lexically_relative(root)) {
        std::string converted;
        if (!ToCp932(part, converted)) {
            failure = {Display(file), "the name cannot be written in code page 932 (Shift-JIS)"};
            return false;
        }
        if (!name.empty())
            name += '\\';
        name += converted;
    }
    if (name.size() + 1 > Pak::kMaxNameSize) {
        failure = {Display(file), "the member name is longer than 259 bytes in code page 932"};
        return false;
    }
    return true;
}

// ---- progress for long runs ----

class Progress {
public:
    explicit Progress(uint64_t total) : m_Total(total), m_Done(0), m_Shown(0) {}
    void Add(uint64_t bytes)
    {
        m_Done += bytes;
        // Only runs over 64 MiB report, every tenth.
        if (m_Total < (64ull << 20))
            return;
        unsigned step = static_cast<unsigned>(m_Done * 10 / m_Total);
        if (step > m_Shown) {
            m_Shown = step;
            std::fprintf(stderr, "pak: %u%% (%llu of %llu MiB)\n", step * 10,
                         static_cast<unsigned long long>(m_Done >> 20), static_cast<unsigned long long>(m_Total >> 20));
        }
    }

private:
    uint64_t m_Total, m_Done;
    unsigned m_Shown;
};

// ---- writing ----

// A file written under a temporary name that takes its real name only when
// everything is in it; otherwise it is removed.
class OutputFile {
public:
    explicit OutputFile(const fs::path& target) : m_Target(target), m_Temp(target)
    {
        m_Temp += ".partial";
    }
    ~OutputFile()
    {
        if (m_Stream.is_open())
            m_Stream.close();
        if (!m_Done) {
            std::error_code ec;
            fs::remove(m_Temp, ec);
        }
    }
    bool Open()
    {
        m_Stream.open(m_Temp, std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc);
        return m_Stream.is_open();
    }
    std::fstream& Stream() { return m_Stream; }
    bool Commit()
    {
        m_Stream.flush();
        bool ok = m_Stream.good();
        m_Stream.close();
        if (!ok)
            return false;
        std::error_code ec;
        fs::rename(m_Temp, m_Target, ec);
        m_Done = !ec;
        return m_Done;
    }

private:
    fs::path m_Target, m_Temp;
    std::fstream m_Stream;
    bool m_Done = false;
};

// Deflates `input` into `out` at its current position (the block's start),
// appends the length and scrambles the block's head. `blockSize` gets B.
bool WriteBlock(const fs::path& input, std::fstream& out, Progress& progress, uint32_t& blockSize,
                Failure& failure)
{
    std::ifstream in(input, std::ios::binary);
    if (!in) {
        failure = {Display(input), "cannot be opened for reading"};
        return false;
    }
    std::streamoff start = out.tellp();
    z_stream z;
    std::memset(&z, 0, sizeof(z));
    if (deflateInit(&z, kLevel) != Z_OK) {
        failure = {Display(input), "zlib could not start"};
        return false;
    }
    std::vector<unsigned char> inBuf(kChunk), outBuf(kChunk + 1024);
    uint64_t read = 0, written = 0;
    bool ok = true;
    int flush = Z_NO_FLUSH;
    do {
        in.read(reinterpret_cast<char*>(inBuf.data()), static_cast<std::streamsize>(inBuf.size()));
        std::streamsize got = in.gcount();
        if (in.bad()) {
            failure = {Display(input), "read failed"};
            ok = false;
            break;
        }
        read += static_cast<uint64_t>(got);
        progress.Add(static_cast<uint64_t>(got));
        flush = in.eof() ? Z_FINISH : Z_NO_FLUSH;
        z.next_in = inBuf.data();
        z.avail_in = static_cast<uInt>(got);
        do {
            z.next_out = outBuf.data();
            z.avail_out = static_cast<uInt>(outBuf.size());
            deflate(&z, flush);
            size_t have = outBuf.size() - z.avail_out;
            out.write(reinterpret_cast<const char*>(outBuf.data()), static_cast<std::streamsize>(have));
            written += have;
        } while (z.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&z);
    if (!ok)
        return false;
    if (read > 0xFFFFFFFFull || written + 4 > 0xFFFFFFFFull) {
        failure = {Display(input), "is 4 GiB or larger, which the format cannot hold"};
        return false;
    }
    std::string length;
    Pak::AppendLE32(length, static_cast<uint32_t>(read));
    out.write(length.data(), 4);
    blockSize = static_cast<uint32_t>(written + 4);
    // The head is scrambled with a key that depends on the block's final size.
    unsigned char head[32];
    size_t headSize = std::min<size_t>(blockSize, sizeof(head));
    std::streamoff end = out.tellp();
    out.seekg(start);
    out.read(reinterpret_cast<char*>(head), static_cast<std::streamsize>(headSize));
    Pak::ScrambleBlockHead(head, blockSize);
    out.seekp(start);
    out.write(reinterpret_cast<const char*>(head), static_cast<std::streamsize>(headSize));
    out.seekp(end);
    if (!out) {
        failure = {"", "writing failed"};
        return false;
    }
    return true;
}

struct Source {
    fs::path m_Path;
    std::string m_Name;  // CP932
    uint64_t m_Size;
};

int Fail(const Failure& f)
{
    if (f.m_Path.empty())
        std::fprintf(stderr, "pak: %s\n", f.m_What.c_str());
    else
        std::fprintf(stderr, "pak: %s: %s\n", f.m_Path.c_str(), f.m_What.c_str());
    return 1;
}

int Create(const fs::path& archive, const fs::path& folder)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return Fail({Display(folder), "is not a folder"});
    std::vector<Source> sources;
    Failure failure;
    uint64_t total = 0;
    fs::recursive_directory_iterator it(folder, ec), end;
    if (ec)
        return Fail({Display(folder), "cannot be listed: " + ec.message()});
    for (; it != end; it.increment(ec)) {
        if (ec)
            return Fail({Display(folder), "cannot be listed: " + ec.message()});
        if (it->is_directory(ec))
            continue;
        if (!it->is_regular_file(ec))
            return Fail({Display(it->path()), "is neither a file nor a folder"});
        Source s;
        s.m_Path = it->path();
        if (!MemberName(folder, s.m_Path, s.m_Name, failure))
            return Fail(failure);
        s.m_Size = it->file_size(ec);
        if (ec || s.m_Size > 0xFFFFFFFFull)
            return Fail({Display(s.m_Path), ec ? "size cannot be read" : "is 4 GiB or larger, which the format cannot hold"});
        total += s.m_Size;
        sources.push_back(s);
    }
    // Names that differ only in letter case would shadow each other in lookups.
    std::sort(sources.begin(), sources.end(), [](const Source& a, const Source& b) { return a.m_Name < b.m_Name; });
    for (size_t i = 1; i < sources.size(); ++i) {
        if (Corvane::Base::File::ToLower(sources[i].m_Name) == Corvane::Base::File::ToLower(sources[i - 1].m_Name))
            return Fail({Display(sources[i].m_Path), "differs from " + Display(sources[i - 1].m_Path) +
                                                         " only in letter case"});
    }

    std::vector<Pak::Entry> entries(sources.size());
    uint64_t directorySize = 4;
    for (size_t i = 0; i < sources.size(); ++i) {
        entries[i].m_Name = sources[i].m_Name;
        directorySize += Pak::EntrySize(sources[i].m_Name);
    }
    OutputFile out(archive);
    if (!out.Open())
        return Fail({Display(archive), "cannot be written"});
    std::fstream& stream = out.Stream();
    std::string header = Pak::EncodeArchiveHeader(static_cast<uint32_t>(directorySize));
    stream.write(header.data(), static_cast<std::streamsize>(header.size()));
    // The directory's size is known from the names; its numbers come after the blocks.
    std::string placeholder(static_cast<size_t>(directorySize), '\0');
    stream.write(placeholder.data(), static_cast<std::streamsize>(placeholder.size()));
    Progress progress(total);
    for (size_t i = 0; i < sources.size(); ++i) {
        uint64_t offset = static_cast<uint64_t>(stream.tellp());
        if (offset > 0xFFFFFFFFull)
            return Fail({Display(archive), "would reach 4 GiB, which the format cannot address"});
        uint32_t blockSize = 0;
        if (!WriteBlock(sources[i].m_Path, stream, progress, blockSize, failure)) {
            if (failure.m_Path.empty())
                failure.m_Path = Display(archive);
            return Fail(failure);
        }
        if (offset + blockSize > 0xFFFFFFFFull)
            return Fail({Display(archive), "would reach 4 GiB, which the format cannot address"});
        entries[i].m_Offset = static_cast<uint32_t>(offset);
        entries[i].m_Length = blockSize;
    }
    std::string directory = Pak::EncodeDirectory(entries);
    stream.seekp(static_cast<std::streamoff>(Pak::kHeaderSize));
    stream.write(directory.data(), static_cast<std::streamsize>(directory.size()));
    if (!stream || !out.Commit())
        return Fail({Display(archive), "writing failed"});
    std::printf("%s: %zu members, %llu bytes\n", Display(archive).c_str(), sources.size(),
                static_cast<unsigned long long>(total));
    return 0;
}

int Single(const fs::path& file)
{
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return Fail({Display(file), "is not a file"});
    uint64_t size = fs::file_size(file, ec);
    if (ec || size > 0xFFFFFFFFull)
        return Fail({Display(file), "is 4 GiB or larger, which the format cannot hold"});
    std::string name;
    if (!ToCp932(file.filename(), name))
        return Fail({Display(file), "the name cannot be written in code page 932 (Shift-JIS)"});
    if (name.size() + 1 > Pak::kMaxNameSize)
        return Fail({Display(file), "the name is longer than 259 bytes in code page 932"});
    // The derived name: base name, the extension's byte values, ".pak".
    size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    fs::path base = file.filename();
    std::string stem = base.u8string();
    size_t nativeDot = stem.rfind('.');
    if (nativeDot != std::string::npos)
        stem.erase(nativeDot);
    fs::path target = file.parent_path() / fs::u8path(stem + Pak::ExtensionDigits(ext) + ".pak");

    OutputFile out(target);
    if (!out.Open())
        return Fail({Display(target), "cannot be written"});
    std::fstream& stream = out.Stream();
    std::string header = Pak::EncodeSingleHeader(name, 0, 0);
    stream.write(header.data(), static_cast<std::streamsize>(header.size()));
    Progress progress(size);
    uint32_t blockSize = 0;
    Failure failure;
    if (!WriteBlock(file, stream, progress, blockSize, failure)) {
        if (failure.m_Path.empty())
            failure.m_Path = Display(target);
        return Fail(failure);
    }
    header = Pak::EncodeSingleHeader(name, static_cast<uint32_t>(header.size()), blockSize);
    stream.seekp(0);
    stream.write(header.data(), static_cast<std::streamsize>(header.size()));
    if (!stream || !out.Commit())
        return Fail({Display(target), "writing failed"});
    std::printf("%s\n", Display(target).c_str());
    return 0;
}

// ---- reading ----

class Archive {
public:
    bool Open(const fs::path& path, Failure& failure)
    {
        m_Path = path;
        m_In.open(path, std::ios::binary);
        std::error_code ec;
        m_Size = fs::file_size(path, ec);
        if (!m_In || ec) {
            failure = {Display(path), "cannot be opened for reading"};
            return false;
        }
        unsigned char header[Pak::kHeaderSize];
        if (!ReadAt(0, header, sizeof(header)) || !Pak::HasMagic(header, Pak::kArchiveMagic)) {
            failure = {Display(path), "is not a .pak archive (no TAVIPACK4A header)"};
            return false;
        }
        uint32_t directorySize = Pak::ReadLE32(header + Pak::kMagicSize);
        if (!Pak::DirectoryFits(directorySize, m_Size)) {
            failure = {Display(path), "is corrupt: the directory size is larger than the archive"};
            return false;
        }
        std::vector<unsigned char> directory(directorySize);
        if (!ReadAt(Pak::kHeaderSize, directory.data(), directorySize) ||
            !Pak::WalkDirectory(directory.data(), directory.size(), m_Entries)) {
            failure = {Display(path), "is corrupt: the directory is broken"};
            return false;
        }
        return true;
    }

    bool ReadAt(uint64_t position, void* buf, size_t bytes)
    {
        m_In.clear();
        m_In.seekg(static_cast<std::streamoff>(position));
        m_In.read(static_cast<char*>(buf), static_cast<std::streamsize>(bytes));
        return m_In.good() || (m_In.eof() && static_cast<size_t>(m_In.gcount()) == bytes);
    }

    // The member's uncompressed length, read from its block alone.
    bool StatedLength(const Pak::Entry& e, uint32_t& length)
    {
        if (!Pak::MemberFits(e.m_Offset, e.m_Length, m_Size))
            return false;
        unsigned char head[32], tail[4];
        size_t headSize = std::min<size_t>(e.m_Length, sizeof(head));
        if (!ReadAt(e.m_Offset, head, headSize) || !ReadAt(e.m_Offset + e.m_Length - 4, tail, 4))
            return false;
        Pak::ScrambleBlockHead(head, e.m_Length);
        // A short block's length lies inside its scrambled head.
        if (e.m_Length <= sizeof(head))
            std::memcpy(tail, head + e.m_Length - 4, 4);
        length = Pak::ReadLE32(tail);
        return true;
    }

    bool Inflate(const Pak::Entry& e, std::vector<unsigned char>& data, std::string& what)
    {
        if (!Pak::MemberFits(e.m_Offset, e.m_Length, m_Size)) {
            what = "its block lies outside the archive";
            return false;
        }
        std::vector<unsigned char> block(e.m_Length);
        if (!ReadAt(e.m_Offset, block.data(), block.size())) {
            what = "its block cannot be read";
            return false;
        }
        Pak::ScrambleBlockHead(block.data(), block.size());
        uint32_t length = 0;
        if (!Pak::BlockLength(block.data(), block.size(), length)) {
            what = "its stated length cannot come from its block";
            return false;
        }
        data.assign(static_cast<size_t>(length) + 1, 0);
        if (!Pak::InflateBlock(block.data(), block.size(), data.data(), length)) {
            what = "it does not inflate to its stated length of " + std::to_string(length) + " bytes";
            return false;
        }
        data.resize(length);
        return true;
    }

    const std::vector<Pak::Entry>& Entries() const { return m_Entries; }
    uint64_t Size() const { return m_Size; }

private:
    fs::path m_Path;
    std::ifstream m_In;
    uint64_t m_Size = 0;
    std::vector<Pak::Entry> m_Entries;
};

std::string ShownName(const std::string& cp932)
{
    fs::path p;
    return FromCp932(cp932, p) ? Display(p) : cp932;
}

int List(const fs::path& path)
{
    Archive archive;
    Failure failure;
    if (!archive.Open(path, failure))
        return Fail(failure);
    std::printf("%12s %12s  %s\n", "stored", "size", "name");
    int bad = 0;
    for (const Pak::Entry& e : archive.Entries()) {
        uint32_t length = 0;
        if (archive.StatedLength(e, length)) {
            std::printf("%12u %12u  %s\n", e.m_Length, length, ShownName(e.m_Name).c_str());
        } else {
            std::printf("%12u %12s  %s\n", e.m_Length, "?", ShownName(e.m_Name).c_str());
            ++bad;
        }
    }
    if (bad > 0)
        return Fail({Display(path), std::to_string(bad) + " member(s) lie outside the archive"});
    return 0;
}

int Verify(const fs::path& path)
{
    Archive archive;
    Failure failure;
    if (!archive.Open(path, failure))
        return Fail(failure);
    uint64_t total = 0;
    for (const Pak::Entry& e : archive.Entries())
        total += e.m_Length;
    Progress progress(total);
    int bad = 0;
    std::vector<unsigned char> data;
    for (const Pak::Entry& e : archive.Entries()) {
        std::string what;
        if (!archive.Inflate(e, data, what)) {
            std::fprintf(stderr, "pak: %s: member %s: %s\n", Display(path).c_str(), ShownName(e.m_Name).c_str(),
                         what.c_str());
            ++bad;
        }
        progress.Add(e.m_Length);
    }
    if (bad > 0)
        return Fail({Display(path), std::to_string(bad) + " of " + std::to_string(archive.Entries().size()) +
                                        " members are damaged"});
    std::printf("%s: %zu members, all intact\n", Display(path).c_str(), archive.Entries().size());
    return 0;
}

// A member name as a relative path below `dir`; refuses names that would
// leave it (absolute, drive, "..").
bool ExtractPath(const fs::path& dir, const std::string& name, fs::path& out)
{
    std::string text = Corvane::Base::File::ToBackslash(name);
    out = dir;
    size_t start = 0;
    bool any = false;
    while (start <= text.size()) {
        // Split on '\' outside double-byte characters.
        size_t end = start;
        while (end < text.size() && text[end] != '\\')
            end += Corvane::Base::File::IsSJISLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end > text.size())
            end = text.size();
        std::string part = text.substr(start, end - start);
        if (part.empty() || part == "." || part == ".." || part.find(':') != std::string::npos)
            return false;
        fs::path native;
        if (!FromCp932(part, native))
            return false;
        out /= native;
        any = true;
        start = end + 1;
    }
    return any;
}

int Extract(const fs::path& path, const fs::path& dir)
{
    Archive archive;
    Failure failure;
    if (!archive.Open(path, failure))
        return Fail(failure);
    uint64_t total = 0;
    for (const Pak::Entry& e : archive.Entries())
        total += e.m_Length;
    Progress progress(total);
    std::vector<unsigned char> data;
    for (const Pak::Entry& e : archive.Entries()) {
        fs::path target;
        if (!ExtractPath(dir, e.m_Name, target))
            return Fail({Display(path), "member " + ShownName(e.m_Name) + " has a name that would leave " +
                                            Display(dir)});
        std::string what;
        if (!archive.Inflate(e, data, what))
            return Fail({Display(path), "member " + ShownName(e.m_Name) + ": " + what});
        std::error_code ec;
        fs::create_directories(target.parent_path(), ec);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        out.close();
        if (!out)
            return Fail({Display(target), "cannot be written"});
        progress.Add(e.m_Length);
    }
    std::printf("%s: %zu members extracted to %s\n", Display(path).c_str(), archive.Entries().size(),
                Display(dir).c_str());
    return 0;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: pak create ARCHIVE FOLDER   archive standing for FOLDER (every file below it)\n"
                 "       pak single FILE             single compressed file beside FILE\n"
                 "       pak list ARCHIVE            members with stored and real sizes\n"
                 "       pak extract ARCHIVE DIR     every member below DIR\n"
                 "       pak verify ARCHIVE          every member inflates to its stated length\n");
    return 2;
}

int Run(const std::vector<fs::path>& args, const std::string& command)
{
    if (command == "create" && args.size() == 2)
        return Create(args[0], args[1]);
    if (command == "single" && args.size() == 1)
        return Single(args[0]);
    if (command == "list" && args.size() == 1)
        return List(args[0]);
    if (command == "extract" && args.size() == 2)
        return Extract(args[0], args[1]);
    if (command == "verify" && args.size() == 1)
        return Verify(args[0]);
    return Usage();
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return Usage();
    std::vector<fs::path> args(argv + 2, argv + argc);
    return Run(args, fs::path(argv[1]).u8string());
}
#else
int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    std::vector<fs::path> args(argv + 2, argv + argc);
    return Run(args, argv[1]);
}
#endif
