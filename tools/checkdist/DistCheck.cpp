#include "DistCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "BitmapCheck.h"
#include "NativeText.h"
#include "ScriptLint.h"
#include "file/CZip.h"
#include "file/PakFormat.h"
#include "file/PakReader.h"
#include "file/PathText.h"

namespace CheckDist {

namespace fs = std::filesystem;
namespace File = Corvane::Base::File;
namespace Pak = Corvane::Base::File::Pak;

namespace {

const int kPictureSlots = 50;
// setup copies values into MAX_PATH buffers; Win32's ANSI file calls stop there too.
const size_t kMaxPath = 260;
// Room that a path below DiskDirectory leaves for the game's install folder.
const size_t kInstalledPathWarning = 180;

const char* const kVariants[3][2] = {
    {"2026", "an edition recorded in Information.reg"},
    {"633", "an edition known from the store launcher"},
    {"615", "an edition recorded with a data folder"},
};

struct KnownKey {
    const char* m_Name;
    bool m_bRequired;
    const char* m_IfMissing;
};

const KnownKey kTextKeys[] = {
    {"AppName", true, "setup finds no installed edition and stops"},
    {"DiskDirectory", true, "installer refuses to run (Setup.exe-only box): nothing is installed"},
    {"InstallExecute", true, "setup cannot start the installer: nothing happens"},
    {"GameExecute", true, "installer refuses to run (Setup.exe-only box): nothing is installed"},
    {"GameUninstall", true, "installer refuses to run (Setup.exe-only box): nothing is installed"},
    {"Caption", false, "the confirmation box's caption is AppName alone"},
    {"Message01", false, "the confirmation text's first line is AppName alone"},
    {"Message02", false, "the line is left out"},
    {"Message03", false, "the line is left out"},
    {"Message04", false, "the line is left out"},
    {"DialogBitmap", false, "the built-in picture is shown"},
    {"UserDataDirectory", false, "the data folder is \"Pellin\""},
};

std::string Show(const std::string& cp932)
{
    return ShowCp932(cp932);
}

std::string Quote(const std::string& cp932)
{
    return "'" + Show(cp932) + "'";
}

std::string LowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string SizeText(uint64_t bytes)
{
    char text[64];
    if (bytes >= (1ull << 20))
        std::snprintf(text, sizeof(text), "%.1f MiB", static_cast<double>(bytes) / (1 << 20));
    else if (bytes >= 1024)
        std::snprintf(text, sizeof(text), "%.1f KiB", static_cast<double>(bytes) / 1024);
    else
        std::snprintf(text, sizeof(text), "%llu bytes", static_cast<unsigned long long>(bytes));
    return text;
}

std::string SeparatorName(char c)
{
    switch (c) {
    case ' ': return "blank";
    case '\t': return "tab";
    case ',': return "comma";
    default: return "line end";
    }
}

// Splits a code-page-932 path at '\' and '/', never inside a double-byte character.
std::vector<std::string> SplitComponents(const std::string& path)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (File::IsSJISLeadByte(c) && i + 1 < path.size()) {
            parts.back() += path.substr(i, 2);
            ++i;
        } else if (c == '\\' || c == '/') {
            parts.emplace_back();
        } else {
            parts.back() += static_cast<char>(c);
        }
    }
    return parts;
}

// `name` in `folder`, matched as Windows matches names: letter case aside.
fs::path FindInFolder(const fs::path& folder, const fs::path& name)
{
    std::error_code ec;
    fs::path direct = folder / name;
    if (fs::exists(direct, ec))
        return direct;
    std::string want = LowerAscii(name.u8string());
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (LowerAscii(it->path().filename().u8string()) == want)
            return it->path();
    }
    return direct;
}

class FileSource : public File::PakByteSource {
public:
    bool Open(const fs::path& path)
    {
        std::error_code ec;
        m_Size = fs::file_size(path, ec);
        if (ec)
            return false;
        m_In.open(path, std::ios::binary);
        return m_In.is_open();
    }
    uint64_t Size() const override { return m_Size; }
    bool ReadAt(uint64_t position, void* buf, uint32_t bytes) override
    {
        if (position > m_Size || bytes > m_Size - position)
            return false;
        m_In.clear();
        m_In.seekg(static_cast<std::streamoff>(position));
        m_In.read(static_cast<char*>(buf), static_cast<std::streamsize>(bytes));
        return static_cast<uint32_t>(m_In.gcount()) == bytes;
    }

private:
    std::ifstream m_In;
    uint64_t m_Size = 0;
};

bool ReadWhole(const fs::path& path, std::string& bytes, uint64_t limit)
{
    std::error_code ec;
    uint64_t size = fs::file_size(path, ec);
    if (ec || size > limit)
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(static_cast<size_t>(size), '\0');
    in.read(&bytes[0], static_cast<std::streamsize>(size));
    return static_cast<uint64_t>(in.gcount()) == size;
}

enum class Packed { None, Single, Archive, Broken };

// Where the file layer finds a file that is not there as a plain file: the
// single compressed file beside it, else the deepest archive above it.
Packed LoadPacked(const fs::path& file, std::string& bytes, fs::path& from)
{
    std::string name;
    if (!NameToCp932(file.filename(), name))
        return Packed::None;
    std::string base, ext;
    File::SplitFileName(name, base, ext);
    std::string singleName, lower = File::ToLower(name);
    std::string utf8Single;
    if (Cp932ToUtf8(base + Pak::ExtensionDigits(ext) + ".pak", utf8Single)) {
        fs::path single = FindInFolder(file.parent_path(), fs::u8path(utf8Single));
        FileSource source;
        uint32_t offset = 0, length = 0;
        if (source.Open(single) && File::ReadSingleHeader(source, lower, offset, length)) {
            from = single;
            File::CZip zip;
            File::PakLoadFailure failure;
            if (File::LoadSingle(source, lower, zip, failure) != 1)
                return Packed::Broken;
            bytes.assign(reinterpret_cast<const char*>(zip.m_pDst), zip.m_nDstSize);
            return Packed::Single;
        }
    }
    std::string inner = name;
    fs::path folder = file.parent_path();
    std::error_code ec;
    while (!folder.empty() && folder.has_filename() && folder != folder.parent_path()) {
        fs::path pak = folder;
        pak += ".pak";
        if (fs::is_regular_file(pak, ec)) {
            from = pak;
            FileSource source;
            if (!source.Open(pak))
                return Packed::None;
            File::CZip zip;
            File::PakLoadFailure failure;
            std::string lowerInner = File::ToLower(inner);
            int rc = File::LoadArchiveMember(source, lowerInner, File::ToSlash(lowerInner), zip, failure);
            if (rc == 0)
                return Packed::None;  // only the deepest archive is searched
            if (rc != 1)
                return Packed::Broken;
            bytes.assign(reinterpret_cast<const char*>(zip.m_pDst), zip.m_nDstSize);
            return Packed::Archive;
        }
        std::string folderName;
        if (!NameToCp932(folder.filename(), folderName))
            return Packed::None;
        inner = folderName + "\\" + inner;
        folder = folder.parent_path();
    }
    return Packed::None;
}

// Every member of an archive or the block of a single compressed file
// inflates to its stated length; `what` says what failed.
bool VerifyPak(const fs::path& path, std::string& kind, size_t& members, std::string& what)
{
    FileSource source;
    unsigned char header[Pak::kHeaderSize];
    members = 0;
    if (!source.Open(path) || !source.ReadAt(0, header, sizeof(header))) {
        what = "cannot be read, or is shorter than a header";
        return false;
    }
    auto inflate = [&](uint32_t offset, uint32_t length, std::string& why) {
        if (!Pak::MemberFits(offset, length, source.Size())) {
            why = "its block lies outside the file";
            return false;
        }
        std::vector<unsigned char> block(length);
        if (!source.ReadAt(offset, block.data(), length)) {
            why = "its block cannot be read";
            return false;
        }
        Pak::ScrambleBlockHead(block.data(), block.size());
        uint32_t real = 0;
        if (!Pak::BlockLength(block.data(), block.size(), real)) {
            why = "its stated length cannot come from its block";
            return false;
        }
        std::vector<unsigned char> out(static_cast<size_t>(real) + 1);
        if (!Pak::InflateBlock(block.data(), block.size(), out.data(), real)) {
            why = "it does not inflate to its stated length";
            return false;
        }
        return true;
    };
    if (Pak::HasMagic(header, Pak::kArchiveMagic)) {
        kind = "archive";
        uint32_t directorySize = Pak::ReadLE32(header + Pak::kMagicSize);
        std::vector<Pak::Entry> entries;
        std::vector<unsigned char> directory(Pak::DirectoryFits(directorySize, source.Size()) ? directorySize : 0);
        if (directory.empty() || !source.ReadAt(Pak::kHeaderSize, directory.data(), directorySize) ||
            !Pak::WalkDirectory(directory.data(), directory.size(), entries)) {
            what = "its directory is broken";
            return false;
        }
        members = entries.size();
        for (const Pak::Entry& e : entries) {
            std::string why;
            if (!inflate(e.m_Offset, e.m_Length, why)) {
                what = "member " + Show(e.m_Name) + ": " + why;
                return false;
            }
        }
        return true;
    }
    if (Pak::HasMagic(header, Pak::kSingleMagic)) {
        kind = "single compressed file";
        uint32_t nameSize = Pak::ReadLE32(header + Pak::kMagicSize);
        unsigned char rest[Pak::kMaxNameSize + 8];
        std::string name;
        uint32_t offset = 0, length = 0;
        if (nameSize == 0 || nameSize > Pak::kMaxNameSize || !source.ReadAt(Pak::kHeaderSize, rest, nameSize + 8) ||
            !Pak::ParseSingleName(rest, nameSize, name, offset, length)) {
            what = "its header is broken";
            return false;
        }
        members = 1;
        std::string why;
        if (!inflate(offset, length, why)) {
            what = why;
            return false;
        }
        // The file layer looks it up under the name derived from the stored one.
        std::string base, ext, own;
        File::SplitFileName(name, base, ext);
        if (NameToCp932(path.filename(), own) &&
            File::ToLower(own) != File::ToLower(base + Pak::ExtensionDigits(ext) + ".pak")) {
            kind = "single compressed file of " + Show(name) + " under a name the programs never look for";
        } else {
            kind = "single compressed file of " + Show(name);
        }
        return true;
    }
    what = "is not a .pak archive or single compressed file (no TAVIPACK4A/TAVIPACK4S header)";
    return false;
}

struct Slot {
    const ScriptEntry* m_pPicture = nullptr;
    const ScriptEntry* m_pThreshold = nullptr;
    bool m_bLoadable = false;
    int m_Threshold = -1;
};

class Checker {
public:
    Checker(const fs::path& dist, Report& report) : m_Dist(dist), m_Report(report) {}
    void Run();

private:
    void Add(Severity s, const std::string& code, const std::string& file, int line, const std::string& key,
             const std::string& message)
    {
        Finding f;
        f.m_Severity = s;
        f.m_Code = code;
        f.m_File = file;
        f.m_Line = line;
        f.m_Key = key;
        f.m_Message = message;
        m_Report.m_Findings.push_back(f);
    }
    void Note(const std::string& section, const std::string& text) { m_Report.m_Facts.push_back({section, text}); }
    void AddLine(Severity s, const std::string& code, const ScriptEntry* e, const std::string& key,
                 const std::string& message)
    {
        Add(s, code, m_ConfigFile, e != nullptr ? e->m_Line : 0, key, message);
    }

    const ScriptEntry* First(const std::string& key) const
    {
        for (const ScriptEntry& e : m_Entries)
            if (e.m_Key == key)
                return &e;
        return nullptr;
    }
    std::string Value(const std::string& key) const
    {
        const ScriptEntry* e = First(key);
        return e != nullptr ? e->m_Value : std::string();
    }

    bool LoadConfig();
    void CheckLines();
    void ReportKeys();
    bool Resolve(const std::string& value, fs::path& out, std::string& shown);
    void CheckDiskDirectory();
    void CheckInstallExecute();
    void CheckGameExecute();
    bool CheckPicture(const std::string& key, const std::string& value, const std::string& relative);
    void CheckPictures();
    void WalkTree();

    fs::path m_Dist;
    Report& m_Report;
    std::string m_ConfigFile = "cfg\\init.ini";
    std::vector<ScriptEntry> m_Entries;
    std::set<std::string> m_KnownKeys;
    // DiskDirectory's text before "gamedata": the installer's distribution root.
    std::string m_RootPrefix;
    bool m_bRootKnown = false;
    fs::path m_DiskDirectory;
};

bool Checker::Resolve(const std::string& value, fs::path& out, std::string& shown)
{
    shown = Show(value);
    if (File::IsAbsolutePath(value)) {
#ifdef _WIN32
        std::string utf8;
        if (!Cp932ToUtf8(value, utf8))
            return false;
        out = fs::u8path(utf8);
        return true;
#else
        return false;
#endif
    }
    out = m_Dist;
    for (const std::string& part : SplitComponents(value)) {
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            out = out.parent_path();
            continue;
        }
        std::string utf8;
        if (!Cp932ToUtf8(part, utf8))
            return false;
        out = FindInFolder(out, fs::u8path(utf8));
    }
    return true;
}

bool Checker::LoadConfig()
{
    fs::path cfg = FindInFolder(FindInFolder(m_Dist, "cfg"), "init.ini");
    std::error_code ec;
    std::string bytes;
    fs::path from;
    std::string packed;
    fs::path packedFrom;
    Packed kind = LoadPacked(cfg, packed, packedFrom);
    auto relative = [&](const fs::path& p) {
        fs::path rel = p.lexically_relative(m_Dist);
        std::string text = rel.empty() || *rel.begin() == ".." ? p.u8string() : rel.u8string();
        std::replace(text.begin(), text.end(), '/', '\\');
        return text;
    };
    if (fs::is_regular_file(cfg, ec)) {
        if (!ReadWhole(cfg, bytes, 64ull << 20)) {
            Add(Severity::Error, "config-unreadable", m_ConfigFile, 0, "",
                "cfg\\init.ini cannot be read: the programs run with every value empty");
            return false;
        }
        m_Report.m_ConfigSource = "plain file";
        m_Report.m_ConfigPath = "cfg\\init.ini";
        if (kind != Packed::None)
            Add(Severity::Warning, "config-shadowed", relative(packedFrom), 0, "",
                "also holds cfg\\init.ini, but the plain file comes first: this copy is never read");
    } else if (kind == Packed::Single || kind == Packed::Archive) {
        bytes = packed;
        m_Report.m_ConfigSource = kind == Packed::Single ? "single compressed file" : "archive member";
        m_Report.m_ConfigPath = relative(packedFrom);
        m_ConfigFile = "cfg\\init.ini in " + relative(packedFrom);
    } else if (kind == Packed::Broken) {
        Add(Severity::Error, "config-unreadable", relative(packedFrom), 0, "",
            "holds cfg\\init.ini but it does not inflate: the programs run with every value empty");
        m_Report.m_ConfigSource = "none";
        return false;
    } else {
        Add(Severity::Error, "config-missing", m_ConfigFile, 0, "",
            "not found, nor as cfg\\init105110105.pak or in cfg.pak: the programs run with every value empty");
        m_Report.m_ConfigSource = "none";
        return false;
    }
    m_Entries = ReadScriptEntries(bytes);
    Note("configuration", m_Report.m_ConfigSource + " " + m_Report.m_ConfigPath + ": " +
                              std::to_string(m_Entries.size()) + " entries");
    return true;
}

void Checker::CheckLines()
{
    std::map<std::string, std::string> byLower;
    for (const auto& k : kTextKeys)
        m_KnownKeys.insert(k.m_Name);
    for (int n = 1; n <= kPictureSlots; ++n) {
        m_KnownKeys.insert("InstallBitmap" + std::to_string(n));
        m_KnownKeys.insert("InstallBitmapPer" + std::to_string(n));
    }
    for (const std::string& k : m_KnownKeys)
        byLower[LowerAscii(k)] = k;

    std::map<std::string, const ScriptEntry*> seen;
    for (const ScriptEntry& e : m_Entries) {
        LineShape shape = DescribeLine(e);
        if (e.m_Key.empty() && e.m_Value.empty())
            continue;  // a line of blanks: an entry nobody can look up, harmless
        if (e.m_Key.empty()) {
            std::string lead = shape.m_Lead == ',' ? "a comma" : "a tab";
            AddLine(Severity::Error, "empty-key", &e, "",
                    "the line starts with " + lead + ", so its entry has an empty key and " + Quote(e.m_Value) +
                        " is read as a value, not as a key: start the line with the key");
            continue;
        }
        bool known = m_KnownKeys.count(e.m_Key) > 0;
        if (!known) {
            auto proper = byLower.find(LowerAscii(e.m_Key));
            if (proper != byLower.end()) {
                AddLine(Severity::Error, "key-case", &e, proper->second,
                        Quote(e.m_Key) + " is not " + proper->second +
                            ": keys are case-sensitive, so the programs never read this line");
            } else if (LowerAscii(e.m_Key).compare(0, 13, "installbitmap") == 0) {
                AddLine(Severity::Warning, "unknown-key", &e, e.m_Key,
                        Quote(e.m_Key) + " is not read: pictures are InstallBitmap1 to InstallBitmap50 and "
                                         "InstallBitmapPer1 to InstallBitmapPer50, without leading zeros");
            } else {
                AddLine(Severity::Warning, "unknown-key", &e, e.m_Key,
                        Quote(e.m_Key) + " is not a key the programs read");
            }
            continue;
        }
        auto first = seen.find(e.m_Key);
        if (first != seen.end()) {
            AddLine(Severity::Warning, "duplicate-key", &e, e.m_Key,
                    e.m_Key + " also stands on line " + std::to_string(first->second->m_Line) + ", which wins (" +
                        Quote(first->second->m_Value) + "); this line's " + Quote(e.m_Value) + " is never read");
            continue;
        }
        seen[e.m_Key] = &e;
        if (e.m_Value.size() >= kMaxPath)
            AddLine(Severity::Error, "value-too-long", &e, e.m_Key,
                    "the value is " + std::to_string(e.m_Value.size()) +
                        " bytes; the programs hold at most 259 bytes (in Shift-JIS)");
        if (!shape.m_bConsistent)
            continue;
        if (!shape.m_Rest.empty()) {
            std::string message;
            if (e.m_Value.empty())
                message = "the value is empty: the " + SeparatorName(shape.m_KeyEnd) + " and the " +
                          SeparatorName(shape.m_ValueEnd) + " after the key are two separators, so " +
                          Quote(shape.m_Rest) + " is ignored";
            else
                message = "the value ends at the " + SeparatorName(shape.m_ValueEnd) + " after " +
                          Quote(e.m_Value) + "; " + Quote(shape.m_Rest) +
                          " is ignored (values cannot hold blanks, tabs or commas; start a comment with //)";
            AddLine(Severity::Error, "value-cut", &e, e.m_Key, message);
        } else if (shape.m_bGluedComment) {
            AddLine(Severity::Error, "comment-cut", &e, e.m_Key,
                    "\"//\" starts a comment wherever it stands, so the value is " + Quote(e.m_Value) + " and " +
                        Quote(shape.m_Comment) + " is ignored (a web address cannot be written here)");
        }
    }
}

void Checker::ReportKeys()
{
    for (const auto& k : kTextKeys) {
        KeyReport r;
        r.m_Key = k.m_Name;
        const ScriptEntry* e = First(k.m_Name);
        r.m_bPresent = e != nullptr;
        if (e != nullptr) {
            r.m_Line = e->m_Line;
            r.m_Value = Show(e->m_Value);
        }
        if (e == nullptr || e->m_Value.empty())
            r.m_Note = k.m_IfMissing;
        if (k.m_bRequired && (e == nullptr || e->m_Value.empty()))
            AddLine(Severity::Error, e == nullptr ? "required-missing" : "required-empty", e, k.m_Name,
                    std::string(k.m_Name) + (e == nullptr ? " is missing" : " is empty") + ": " + k.m_IfMissing);
        m_Report.m_Keys.push_back(r);
    }
    for (int n = 1; n <= kPictureSlots; ++n) {
        for (const std::string& key : {"InstallBitmap" + std::to_string(n), "InstallBitmapPer" + std::to_string(n)}) {
            const ScriptEntry* e = First(key);
            if (e == nullptr)
                continue;
            KeyReport r;
            r.m_Key = key;
            r.m_bPresent = true;
            r.m_Line = e->m_Line;
            r.m_Value = Show(e->m_Value);
            m_Report.m_Keys.push_back(r);
        }
    }
    // The game's mutex is named after AppName; Windows refuses a backslash
    // there, and setup then takes the game for running.
    std::string appName = Value("AppName");
    if (appName.find('\\') != std::string::npos)
        AddLine(Severity::Error, "appname-backslash", First("AppName"), "AppName",
                "a backslash in AppName makes the game's mutex impossible to create: setup always says the game "
                "is running");
}

void Checker::CheckDiskDirectory()
{
    std::string value = Value("DiskDirectory");
    if (value.empty())
        return;
    const ScriptEntry* e = First("DiskDirectory");
    size_t at = value.find("gamedata");
    if (at == std::string::npos) {
        AddLine(Severity::Warning, "no-gamedata", e, "DiskDirectory",
                "the path holds no \"gamedata\": the installer then copies no GameExecute from a variant folder "
                "and finds no DialogBitmap for its finished dialog");
    } else if (!File::IsAbsolutePath(value)) {
        m_RootPrefix = value.substr(0, at);
        m_bRootKnown = true;
    }
    fs::path dir;
    std::string shown;
    if (!Resolve(value, dir, shown)) {
        AddLine(Severity::Warning, "not-checked", e, "DiskDirectory",
                "the absolute path " + Quote(value) + " is not checked here; check it on Windows");
        return;
    }
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        fs::path pak = dir;
        pak += ".pak";
        if (fs::exists(pak, ec))
            AddLine(Severity::Error, "disk-directory-packed", e, "DiskDirectory",
                    shown + " exists only as an archive: the installer copies plain files, so nothing is installed");
        else
            AddLine(Severity::Error, "disk-directory-missing", e, "DiskDirectory",
                    shown + " is not a folder of the distribution: nothing is installed");
        return;
    }
    m_DiskDirectory = dir;
    uint64_t files = 0, total = 0, largest = 0;
    std::string largestName;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        uint64_t size = it->file_size(ec);
        ++files;
        total += size;
        std::string rel = it->path().lexically_relative(dir).u8string();
        std::replace(rel.begin(), rel.end(), '/', '\\');
        if (size >= largest) {
            largest = size;
            largestName = rel;
        }
        if (size >= (1ull << 32))
            Add(Severity::Warning, "file-4gib", shown + "\\" + rel, 0, "DiskDirectory",
                "4 GiB or larger: setup's install-location dialog counts only the low 32 bits of its size");
        std::string cp932;
        if (NameToCp932(it->path().lexically_relative(dir), cp932) && cp932.size() >= kInstalledPathWarning)
            Add(Severity::Warning, "installed-path-long", shown + "\\" + rel, 0, "DiskDirectory",
                "its path below " + shown + " is " + std::to_string(cp932.size()) +
                    " bytes: with the game's install folder in front it may reach 260 bytes, which the "
                    "copy cannot write");
    }
    if (files == 0) {
        AddLine(Severity::Error, "disk-directory-empty", e, "DiskDirectory",
                shown + " holds no file: the installer has nothing to copy");
        return;
    }
    Note("files", "DiskDirectory " + shown + ": " + std::to_string(files) + (files == 1 ? " file, " : " files, ") + SizeText(total) + " (" +
                      std::to_string(total) + " bytes); largest " + largestName + " (" + SizeText(largest) + ")");
}

void Checker::CheckInstallExecute()
{
    std::string value = Value("InstallExecute");
    if (value.empty())
        return;
    const ScriptEntry* e = First("InstallExecute");
    fs::path path;
    std::string shown;
    if (!Resolve(value, path, shown)) {
        AddLine(Severity::Warning, "not-checked", e, "InstallExecute",
                "the absolute path " + Quote(value) + " is not checked here; check it on Windows");
        return;
    }
    std::error_code ec;
    std::ifstream in(path, std::ios::binary);
    char magic[2] = {0, 0};
    if (!fs::is_regular_file(path, ec) || !in.read(magic, 2)) {
        AddLine(Severity::Error, "install-execute-missing", e, "InstallExecute",
                shown + " is not in the distribution: setup starts nothing and nothing is installed");
        return;
    }
    if (magic[0] != 'M' || magic[1] != 'Z') {
        AddLine(Severity::Error, "install-execute-not-program", e, "InstallExecute",
                shown + " is not a Windows program: setup cannot start it");
        return;
    }
    Note("files", "InstallExecute " + shown + ": present");
}

void Checker::CheckGameExecute()
{
    std::string value = Value("GameExecute");
    if (value.empty() || !m_bRootKnown)
        return;
    const ScriptEntry* e = First("GameExecute");
    std::string found, missing;
    for (const auto& variant : kVariants) {
        // The installer appends the variant's name to the root text directly.
        std::string rel = m_RootPrefix + variant[0] + "\\" + value;
        fs::path path;
        std::string shown;
        std::error_code ec;
        if (Resolve(rel, path, shown) && fs::is_regular_file(path, ec)) {
            found += (found.empty() ? "" : ", ") + shown;
        } else {
            missing += (missing.empty() ? "" : ", ") + shown;
            AddLine(Severity::Warning, "game-execute-missing", e, "GameExecute",
                    shown + " does not exist: on " + variant[1] + " the installer copies no " + Show(value));
        }
    }
    Note("files", "GameExecute " + Show(value) + ": " + (found.empty() ? "in no variant folder" : "found as " + found) +
                      (missing.empty() ? "" : "; missing as " + missing));
}

bool Checker::CheckPicture(const std::string& key, const std::string& value, const std::string& relative)
{
    const ScriptEntry* e = First(key);
    fs::path path;
    std::string shown;
    if (!Resolve(relative, path, shown)) {
        AddLine(Severity::Warning, "not-checked", e, key, "the absolute path " + Quote(value) + " is not checked here");
        return false;
    }
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        std::string bytes;
        fs::path from;
        Packed packed = LoadPacked(path, bytes, from);
        if (packed == Packed::Single || packed == Packed::Archive)
            AddLine(Severity::Error, "picture-packed", e, key,
                    shown + " is only in " + from.filename().u8string() +
                        ": pictures are loaded from plain files only, so it does not appear");
        else
            AddLine(Severity::Error, "picture-missing", e, key, shown + " does not exist: the picture does not appear");
        return false;
    }
    std::string bytes;
    BitmapInfo info;
    std::string why;
    if (!ReadWhole(path, bytes, 256ull << 20)) {
        AddLine(Severity::Error, "picture-unreadable", e, key, shown + " cannot be read");
        return false;
    }
    if (!CheckBitmap(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), info, why)) {
        AddLine(Severity::Error, "picture-not-bitmap", e, key,
                shown + " is " + why + ": Windows does not load it and the picture does not appear");
        return false;
    }
    Note("pictures", key + " " + shown + ": bitmap " + std::to_string(info.m_Width) + " x " +
                         std::to_string(info.m_Height) + ", " + std::to_string(info.m_Bits) + " bits");
    return true;
}

void Checker::CheckPictures()
{
    std::string dialog = Value("DialogBitmap");
    if (!dialog.empty()) {
        CheckPicture("DialogBitmap", dialog, dialog);
        // The finished dialog joins the value to the text before "gamedata".
        if (m_bRootKnown && !m_RootPrefix.empty()) {
            fs::path a, b;
            std::string shownA, shownB;
            Resolve(dialog, a, shownA);
            Resolve(m_RootPrefix + dialog, b, shownB);
            if (a.lexically_normal() != b.lexically_normal())
                AddLine(Severity::Warning, "dialog-bitmap-root", First("DialogBitmap"), "DialogBitmap",
                        "setup loads " + shownA + " but the installer's finished dialog loads " + shownB +
                            " (the part of DiskDirectory before \"gamedata\" comes first)");
        }
    }

    Slot slots[kPictureSlots + 1];
    bool any = false;
    for (int n = 1; n <= kPictureSlots; ++n) {
        Slot& s = slots[n];
        std::string key = "InstallBitmap" + std::to_string(n);
        std::string perKey = "InstallBitmapPer" + std::to_string(n);
        s.m_pPicture = First(key);
        s.m_pThreshold = First(perKey);
        std::string path = Value(key);
        std::string per = Value(perKey);
        if (path.empty()) {
            if (s.m_pThreshold != nullptr)
                AddLine(Severity::Warning, "threshold-without-picture", s.m_pThreshold, perKey,
                        perKey + " is set but " + key + " is not: no picture " + std::to_string(n));
            continue;
        }
        any = true;
        s.m_bLoadable = CheckPicture(key, path, path);
        s.m_Threshold = File::StringToInt(per);
        size_t i = 0;
        while (i < per.size() && (per[i] == ' ' || per[i] == '\t'))
            ++i;
        if (i < per.size() && (per[i] == '+' || per[i] == '-'))
            ++i;
        if (!per.empty() && (i >= per.size() || per[i] < '0' || per[i] > '9'))
            AddLine(Severity::Warning, "threshold-not-number", s.m_pThreshold, perKey,
                    Quote(per) + " is not a number: the threshold is taken as 0");
        if (s.m_pThreshold == nullptr && n > 1)
            AddLine(Severity::Warning, "threshold-missing", s.m_pPicture, perKey,
                    perKey + " is missing: picture " + std::to_string(n) + " counts from 0 %");
        if (s.m_Threshold > 100)
            AddLine(Severity::Warning, "threshold-unreached", s.m_pThreshold, perKey,
                    "a threshold of " + std::to_string(s.m_Threshold) + " % is never reached: picture " +
                        std::to_string(n) + " is never shown");
    }
    if (!any)
        return;
    if (!slots[1].m_bLoadable)
        AddLine(Severity::Warning, "no-first-picture", slots[1].m_pPicture, "InstallBitmap1",
                "picture 1 is missing or does not load: the large progress dialog starts without a picture");
    // A picture is shown from its threshold until a higher-numbered picture's
    // threshold is reached; one whose threshold a later picture matches or
    // undercuts is never shown (picture 1 still shows at the start).
    for (int n = 1; n <= kPictureSlots; ++n) {
        if (!slots[n].m_bLoadable || slots[n].m_Threshold > 100)
            continue;
        for (int m = n + 1; m <= kPictureSlots; ++m) {
            if (slots[m].m_bLoadable && slots[m].m_Threshold <= slots[n].m_Threshold) {
                std::string key = "InstallBitmap" + std::to_string(n);
                AddLine(Severity::Warning, "picture-never-shown", slots[n].m_pPicture, key,
                        "picture " + std::to_string(n) + " (from " + std::to_string(slots[n].m_Threshold) +
                            " %) is " + (n == 1 ? "replaced at the first update" : "never shown") + ": picture " +
                            std::to_string(m) + " takes over from " + std::to_string(slots[m].m_Threshold) + " %");
                break;
            }
        }
    }
    // Which picture shows at which percentage.
    int current = slots[1].m_bLoadable ? 1 : 0;
    Note("schedule", std::string("at the start: ") + (current ? "picture 1" : "no picture"));
    int from = 0, shown = -1;
    auto flush = [&](int to) {
        if (shown < 0)
            return;
        std::string range = from == to ? std::to_string(from) : std::to_string(from) + "-" + std::to_string(to);
        Note("schedule", range + " %: " +
                             (shown == 0 ? std::string("no picture")
                                         : "picture " + std::to_string(shown) + " (" + Show(Value("InstallBitmap" + std::to_string(shown))) + ")"));
    };
    for (int p = 0; p <= 100; ++p) {
        for (int n = kPictureSlots; n >= 1; --n) {
            if (slots[n].m_bLoadable && slots[n].m_Threshold <= p) {
                current = n;
                break;
            }
        }
        if (current != shown) {
            flush(p - 1);
            from = p;
            shown = current;
        }
    }
    flush(100);
}

void Checker::WalkTree()
{
    std::error_code ec;
    size_t archives = 0;
    for (fs::recursive_directory_iterator it(m_Dist, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        fs::path rel = it->path().lexically_relative(m_Dist);
        std::string shown = rel.u8string();
        std::replace(shown.begin(), shown.end(), '/', '\\');
        std::string cp932;
        if (!NameToCp932(it->path().filename(), cp932)) {
            Add(Severity::Error, "name-not-cp932", shown, 0, "",
                "the name cannot be written in Shift-JIS (code page 932): the programs cannot open it");
            if (it->is_directory(ec))
                it.disable_recursion_pending();
            continue;
        }
        std::string relCp932;
        if (NameToCp932(rel, relCp932) && relCp932.size() >= kMaxPath)
            Add(Severity::Error, "path-too-long", shown, 0, "",
                "its path in the distribution is " + std::to_string(relCp932.size()) +
                    " bytes; Windows' ANSI calls stop at 259");
        if (!it->is_regular_file(ec) || LowerAscii(it->path().extension().u8string()) != ".pak")
            continue;
        ++archives;
        std::string kind, what;
        size_t members = 0;
        if (VerifyPak(it->path(), kind, members, what))
            Note("archives", shown + ": " + kind + (kind == "archive" ? ", " + std::to_string(members) + " members" : "") +
                                 ", every block inflates");
        else
            Add(Severity::Error, "pak-damaged", shown, 0, "", "pak verify rejects it: " + what);
        if (kind.find("never look") != std::string::npos)
            Add(Severity::Warning, "single-misnamed", shown, 0, "",
                "its stored name derives another file name, so the programs never read it");
    }
    if (archives == 0)
        Note("archives", "none");
}

void Checker::Run()
{
    std::error_code ec;
    m_Report.m_Distribution = m_Dist.u8string();
    if (!fs::is_directory(m_Dist, ec)) {
        Add(Severity::Error, "no-distribution", m_Dist.u8string(), 0, "", "is not a folder");
        return;
    }
    if (LoadConfig()) {
        CheckLines();
        ReportKeys();
        CheckDiskDirectory();
        CheckInstallExecute();
        CheckGameExecute();
        CheckPictures();
    }
    WalkTree();
}

std::string JsonString(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char hex[8];
                std::snprintf(hex, sizeof(hex), "\\u%04x", c);
                out += hex;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

}  // namespace

int Report::Count(Severity severity) const
{
    return static_cast<int>(std::count_if(m_Findings.begin(), m_Findings.end(),
                                          [&](const Finding& f) { return f.m_Severity == severity; }));
}

Report CheckDistribution(const fs::path& dist)
{
    Report report;
    std::error_code ec;
    fs::path absolute = fs::absolute(dist, ec);
    if (ec)
        absolute = dist;
    absolute = absolute.lexically_normal();
    if (!absolute.has_filename() && absolute.has_parent_path() && absolute != absolute.root_path())
        absolute = absolute.parent_path();
    Checker(absolute, report).Run();
    return report;
}

std::string FormatText(const Report& report)
{
    std::string out = "distribution: " + report.m_Distribution + "\n";
    out += "configuration: " +
           (report.m_ConfigSource == "none" || report.m_ConfigSource.empty()
                ? std::string("none found")
                : report.m_ConfigSource + " " + report.m_ConfigPath) +
           "\n";
    if (!report.m_Keys.empty()) {
        out += "\nkeys, as the programs read them:\n";
        for (const KeyReport& k : report.m_Keys) {
            char head[64];
            std::snprintf(head, sizeof(head), "  %-19s %-9s ", k.m_Key.c_str(),
                          k.m_bPresent ? ("line " + std::to_string(k.m_Line)).c_str() : "-");
            out += head;
            if (!k.m_Note.empty())
                out += (k.m_bPresent ? "(empty: " : "(missing: ") + k.m_Note + ")";
            else
                out += k.m_Value;
            out += "\n";
        }
    }
    std::string section;
    for (const Fact& f : report.m_Facts) {
        if (f.m_Section == "configuration")
            continue;
        if (f.m_Section != section) {
            section = f.m_Section;
            out += "\n" + (section == "schedule" ? std::string("large progress dialog's pictures") : section) + ":\n";
        }
        out += "  " + f.m_Text + "\n";
    }
    out += "\n";
    for (Severity s : {Severity::Error, Severity::Warning}) {
        for (const Finding& f : report.m_Findings) {
            if (f.m_Severity != s)
                continue;
            out += s == Severity::Error ? "error: " : "warning: ";
            out += f.m_File;
            if (f.m_Line > 0)
                out += ":" + std::to_string(f.m_Line);
            out += ": ";
            if (!f.m_Key.empty() && f.m_Line > 0)
                out += f.m_Key + ": ";
            out += f.m_Message + " [" + f.m_Code + "]\n";
        }
    }
    int errors = report.Count(Severity::Error), warnings = report.Count(Severity::Warning);
    out += std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") + std::to_string(warnings) +
           (warnings == 1 ? " warning" : " warnings") + "\n";
    return out;
}

std::string FormatJson(const Report& report)
{
    std::string out = "{\n  \"distribution\": " + JsonString(report.m_Distribution) + ",\n";
    out += "  \"configuration\": {\"source\": " + JsonString(report.m_ConfigSource) +
           ", \"path\": " + JsonString(report.m_ConfigPath) + "},\n";
    out += "  \"keys\": [";
    for (size_t i = 0; i < report.m_Keys.size(); ++i) {
        const KeyReport& k = report.m_Keys[i];
        out += std::string(i ? "," : "") + "\n    {\"key\": " + JsonString(k.m_Key) +
               ", \"present\": " + (k.m_bPresent ? "true" : "false") + ", \"line\": " + std::to_string(k.m_Line) +
               ", \"value\": " + JsonString(k.m_Value) + ", \"note\": " + JsonString(k.m_Note) + "}";
    }
    out += "\n  ],\n  \"facts\": [";
    for (size_t i = 0; i < report.m_Facts.size(); ++i)
        out += std::string(i ? "," : "") + "\n    {\"section\": " + JsonString(report.m_Facts[i].m_Section) +
               ", \"text\": " + JsonString(report.m_Facts[i].m_Text) + "}";
    out += "\n  ],\n  \"findings\": [";
    for (size_t i = 0; i < report.m_Findings.size(); ++i) {
        const Finding& f = report.m_Findings[i];
        out += std::string(i ? "," : "") + "\n    {\"severity\": " +
               (f.m_Severity == Severity::Error ? "\"error\"" : "\"warning\"") + ", \"code\": " + JsonString(f.m_Code) +
               ", \"file\": " + JsonString(f.m_File) + ", \"line\": " + std::to_string(f.m_Line) +
               ", \"key\": " + JsonString(f.m_Key) + ", \"message\": " + JsonString(f.m_Message) + "}";
    }
    out += "\n  ],\n  \"errors\": " + std::to_string(report.Count(Severity::Error)) +
           ",\n  \"warnings\": " + std::to_string(report.Count(Severity::Warning)) + "\n}\n";
    return out;
}

}  // namespace CheckDist
