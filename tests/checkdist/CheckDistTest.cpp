// The distribution checker over small distributions, one mistake each, and
// over a copy of the sample distribution, which must pass clean. Every
// case also asserts that nothing else is reported, so a false alarm fails.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "BitmapCheck.h"
#include "DistCheck.h"
#include "ScriptLint.h"
#include "file/PakFormat.h"
#include "support/ChildProcess.h"
#include "support/ScratchDir.h"

namespace fs = std::filesystem;
namespace Pak = Corvane::Base::File::Pak;
using CheckDist::Finding;
using CheckDist::Report;
using CheckDist::Severity;
using TestSupport::ScratchDir;

namespace {

const DWORD kToolTimeout = 60000;

fs::path Native(const std::string& cp932)
{
    int n = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), &w[0], n);
    return fs::path(w);
}

// A bitmap of `bits` per pixel with a palette where it needs one.
std::string MakeBitmap(int width, int height, int bits = 24)
{
    int colours = bits <= 8 ? (1 << bits) : 0;
    int stride = ((width * bits + 31) / 32) * 4;
    int rows = height < 0 ? -height : height;
    uint32_t offset = 14 + 40 + colours * 4;
    std::string b = "BM";
    Pak::AppendLE32(b, offset + stride * rows);
    Pak::AppendLE32(b, 0);
    Pak::AppendLE32(b, offset);
    Pak::AppendLE32(b, 40);
    Pak::AppendLE32(b, static_cast<uint32_t>(width));
    Pak::AppendLE32(b, static_cast<uint32_t>(height));
    b += '\x01'; b += '\0';
    b += static_cast<char>(bits); b += '\0';
    for (int i = 0; i < 6; ++i)
        Pak::AppendLE32(b, 0);
    for (int i = 0; i < colours; ++i)
        Pak::AppendLE32(b, i * 0x010101u);
    b.append(static_cast<size_t>(stride) * rows, '\x40');
    return b;
}

std::string MakeArchive(const std::vector<std::pair<std::string, std::string>>& members)
{
    uint32_t directorySize = 4;
    for (const auto& m : members)
        directorySize += static_cast<uint32_t>(Pak::EntrySize(m.first));
    uint32_t offset = static_cast<uint32_t>(Pak::kHeaderSize) + directorySize;
    std::vector<Pak::Entry> entries;
    std::string blocks;
    for (const auto& m : members) {
        std::string block;
        Pak::MakeBlock(reinterpret_cast<const unsigned char*>(m.second.data()), m.second.size(), block, 6);
        entries.push_back({m.first, offset, static_cast<uint32_t>(block.size())});
        offset += static_cast<uint32_t>(block.size());
        blocks += block;
    }
    return Pak::EncodeArchiveHeader(directorySize) + Pak::EncodeDirectory(entries) + blocks;
}

std::string MakeSingle(const std::string& name, const std::string& content)
{
    std::string block;
    Pak::MakeBlock(reinterpret_cast<const unsigned char*>(content.data()), content.size(), block, 6);
    std::string header = Pak::EncodeSingleHeader(name, 0, 0);
    return Pak::EncodeSingleHeader(name, static_cast<uint32_t>(header.size()), static_cast<uint32_t>(block.size())) +
           block;
}

// Lines 1-12; the cases below name them by number.
const char kInit[] =
    "AppName テストゲーム\r\n"                      // 1
    "Caption 追加データ\r\n"                         // 2
    "Message01 の追加データをインストールします。\r\n"  // 3
    "DiskDirectory gamedata\r\n"                     // 4
    "GameExecute game.exe\r\n"                       // 5
    "GameUninstall uninstall.exe\r\n"                // 6
    "InstallExecute installer.exe\r\n"               // 7
    "DialogBitmap pictures\\finished.bmp\r\n"        // 8
    "InstallBitmap1 pictures\\back1.bmp\r\n"         // 9
    "InstallBitmapPer1 0\r\n"                        // 10
    "InstallBitmap2 pictures\\back2.bmp\r\n"         // 11
    "InstallBitmapPer2 50\r\n";                      // 12

// A small sound distribution: the programs, the script, gamedata with
// Shift-JIS names, the three variant folders and the pictures.
void WriteDistribution(const ScratchDir& dir, const std::string& init)
{
    const std::string program = std::string("MZ") + std::string(62, '\0');
    ASSERT_TRUE(dir.WriteFile("dist\\setup.exe", program));
    ASSERT_TRUE(dir.WriteFile("dist\\installer.exe", program));
    ASSERT_TRUE(dir.WriteFile("dist\\cfg\\init.ini", init));
    ASSERT_TRUE(dir.WriteFile("dist\\gamedata\\音声\\表情01.ogg", std::string(3000, 'v')));
    ASSERT_TRUE(dir.WriteFile("dist\\gamedata\\readme.txt", "readme\r\n"));
    for (const char* variant : {"2026", "633", "615"})
        ASSERT_TRUE(dir.WriteFile(std::string("dist\\") + variant + "\\game.exe", program));
    ASSERT_TRUE(dir.WriteFile("dist\\pictures\\back1.bmp", MakeBitmap(16, 12)));
    ASSERT_TRUE(dir.WriteFile("dist\\pictures\\back2.bmp", MakeBitmap(16, 12)));
    ASSERT_TRUE(dir.WriteFile("dist\\pictures\\finished.bmp", MakeBitmap(10, 14)));
}

// `init` with line `line` (1-based) replaced by `text`; line 0 appends it,
// an empty text removes the line.
std::string Edit(int line, const std::string& text)
{
    std::string init = kInit;
    if (line == 0)
        return init + text + "\r\n";
    size_t start = 0;
    for (int i = 1; i < line; ++i)
        start = init.find('\n', start) + 1;
    size_t end = init.find('\n', start) + 1;
    return init.substr(0, start) + (text.empty() ? "" : text + "\r\n") + init.substr(end);
}

std::string Describe(const Report& report)
{
    std::string out;
    for (const Finding& f : report.m_Findings)
        out += std::string(f.m_Severity == Severity::Error ? "  error " : "  warning ") + f.m_Code + " " + f.m_File +
               ":" + std::to_string(f.m_Line) + " " + f.m_Message + "\n";
    return out;
}

const Finding* FindCode(const Report& report, const std::string& code)
{
    for (const Finding& f : report.m_Findings)
        if (f.m_Code == code)
            return &f;
    return nullptr;
}

Report Check(const ScratchDir& dir)
{
    return CheckDist::CheckDistribution(Native(dir / "dist"));
}

bool WriteWide(const std::wstring& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0;
    CloseHandle(h);
    return ok;
}

// Runs checkdist.exe with its output in `output`; the exit code, or 0xDEAD.
DWORD RunTool(const std::string& arguments, const std::string& outputFile)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return 0xDEAD;
    std::string command = "\"" + TestSupport::HelperPath("checkdist.exe") + "\" " + arguments;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION info = {};
    DWORD code = 0xDEAD;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        if (WaitForSingleObject(info.hProcess, kToolTimeout) == WAIT_OBJECT_0)
            GetExitCodeProcess(info.hProcess, &code);
        else
            TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(out);
    return code;
}

}  // namespace

TEST(CheckDist, SmallDistributionPassesClean)
{
    ScratchDir dir;
    // Lines of blanks and comments are harmless.
    WriteDistribution(dir, std::string(kInit) + " \t \r\n// the end\r\n");
    Report report = Check(dir);
    EXPECT_EQ(0, report.Count(Severity::Error)) << Describe(report);
    EXPECT_EQ(0, report.Count(Severity::Warning)) << Describe(report);
    EXPECT_EQ("plain file", report.m_ConfigSource);
    ASSERT_FALSE(report.m_Keys.empty());
    EXPECT_EQ("AppName", report.m_Keys[0].m_Key);
    EXPECT_EQ(1, report.m_Keys[0].m_Line);
    EXPECT_EQ(u8"テストゲーム", report.m_Keys[0].m_Value);
}

// One mistake per case: the expected finding on its line, and nothing but
// the findings that mistake is known to bring along.
TEST(CheckDist, EachPitfallIsReportedAndNothingElse)
{
    const std::string longValue = "Message02 " + std::string(130, '\0');
    std::string wide(260, 'x');
    for (size_t i = 0; i < wide.size(); i += 2) {
        wide[i] = '\x82';  // あ, 2 bytes each: 260 bytes
        wide[i + 1] = '\xA0';
    }
    struct Case {
        const char* name;
        std::string init;
        std::function<void(const ScratchDir&)> change;
        const char* code;
        Severity severity;
        int line;
        std::set<std::string> alsoAllowed;
    } cases[] = {
        {"blank in a value", Edit(3, "Message01 の追加データを インストールします。"), nullptr, "value-cut", Severity::Error, 3, {}},
        {"comma in a value", Edit(3, "Message01 の追加データを,インストールします。"), nullptr, "value-cut", Severity::Error, 3, {}},
        {"tab in a value", Edit(2, "Caption 追加\tデータ"), nullptr, "value-cut", Severity::Error, 2, {}},
        {"key = value", Edit(2, "Caption = 追加データ"), nullptr, "value-cut", Severity::Error, 2, {}},
        {"comma and blank after the key", Edit(6, "GameUninstall, uninstall.exe"), nullptr, "value-cut", Severity::Error, 6, {"required-empty"}},
        {"web address", Edit(0, "Message02 詳しくはhttp://example.jp/まで"), nullptr, "comment-cut", Severity::Error, 13, {}},
        {"tab-indented line", Edit(5, "\tGameExecute game.exe"), nullptr, "empty-key", Severity::Error, 5, {"required-missing"}},
        {"key in another letter case", Edit(1, "appName テストゲーム"), nullptr, "key-case", Severity::Error, 1, {"required-missing"}},
        {"duplicate key", Edit(0, "DiskDirectory data"), nullptr, "duplicate-key", Severity::Warning, 13, {}},
        {"unknown key", Edit(0, "InstallBitmap01 pictures\\back1.bmp"), nullptr, "unknown-key", Severity::Warning, 13, {}},
        {"value of 260 bytes", Edit(0, "Message02 " + wide), nullptr, "value-too-long", Severity::Error, 13, {}},
        {"required key missing", Edit(6, ""), nullptr, "required-missing", Severity::Error, 0, {}},
        {"backslash in AppName", Edit(1, "AppName テスト\\ゲーム"), nullptr, "appname-backslash", Severity::Error, 1, {}},
        {"DiskDirectory misspelt", Edit(4, "DiskDirectory gamedat"), nullptr, "disk-directory-missing", Severity::Error, 4, {"no-gamedata"}},
        {"DiskDirectory only as an archive", kInit,
         [](const ScratchDir& d) {
             TestSupport::RemoveTree(d / "dist\\gamedata");
             d.WriteFile("dist\\gamedata.pak", MakeArchive({{"readme.txt", "readme"}}));
         },
         "disk-directory-packed", Severity::Error, 4, {}},
        {"DiskDirectory empty", kInit,
         [](const ScratchDir& d) {
             TestSupport::RemoveTree(d / "dist\\gamedata");
             CreateDirectoryA((d / "dist\\gamedata").c_str(), nullptr);
         },
         "disk-directory-empty", Severity::Error, 4, {}},
        {"DiskDirectory without gamedata", Edit(4, "DiskDirectory data"),
         [](const ScratchDir& d) { MoveFileA((d / "dist\\gamedata").c_str(), (d / "dist\\data").c_str()); },
         "no-gamedata", Severity::Warning, 4, {}},
        {"InstallExecute misspelt", Edit(7, "InstallExecute instaler.exe"), nullptr, "install-execute-missing", Severity::Error, 7, {}},
        {"GameExecute missing in one variant", kInit,
         [](const ScratchDir& d) { DeleteFileA((d / "dist\\633\\game.exe").c_str()); },
         "game-execute-missing", Severity::Warning, 5, {}},
        {"picture missing", Edit(11, "InstallBitmap2 pictures\\back9.bmp"), nullptr, "picture-missing", Severity::Error, 11, {}},
        {"PNG named .bmp", kInit,
         [](const ScratchDir& d) { d.WriteFile("dist\\pictures\\back2.bmp", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, '\0')); },
         "picture-not-bitmap", Severity::Error, 11, {}},
        {"picture only compressed", kInit,
         [](const ScratchDir& d) {
             DeleteFileA((d / "dist\\pictures\\back2.bmp").c_str());
             d.WriteFile("dist\\pictures\\back298109112.pak", MakeSingle("back2.bmp", MakeBitmap(16, 12)));
         },
         "picture-packed", Severity::Error, 11, {}},
        {"later picture from the same percentage", Edit(12, "InstallBitmapPer2 0"), nullptr, "picture-never-shown", Severity::Warning, 9, {}},
        {"threshold above 100", Edit(12, "InstallBitmapPer2 150"), nullptr, "threshold-unreached", Severity::Warning, 12, {}},
        {"threshold not a number", Edit(12, "InstallBitmapPer2 half"), nullptr, "threshold-not-number", Severity::Warning, 12, {"picture-never-shown"}},
        {"threshold without picture", Edit(0, "InstallBitmapPer7 80"), nullptr, "threshold-without-picture", Severity::Warning, 13, {}},
        {"name Shift-JIS cannot hold", kInit,
         [](const ScratchDir& d) { WriteWide(Native(d / "dist\\gamedata").wstring() + L"\\\xD55C.txt", "x"); },
         "name-not-cp932", Severity::Error, 0, {}},
        {"damaged archive", kInit,
         [](const ScratchDir& d) { d.WriteFile("dist\\gamedata\\voice2.pak", std::string("TAVIPACK4A") + std::string(30, '\x7f')); },
         "pak-damaged", Severity::Error, 0, {}},
        {"configuration shadowed by cfg.pak", kInit,
         [](const ScratchDir& d) { d.WriteFile("dist\\cfg.pak", MakeArchive({{"init.ini", "AppName other\r\n"}})); },
         "config-shadowed", Severity::Warning, 0, {}},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const Case& c = cases[i];
        ScratchDir dir;
        WriteDistribution(dir, c.init);
        if (c.change)
            c.change(dir);
        Report report = Check(dir);
        const Finding* f = FindCode(report, c.code);
        ASSERT_NE(nullptr, f) << "case " << i << ": " << c.name << "\n" << Describe(report);
        EXPECT_EQ(c.severity, f->m_Severity) << "case " << i << ": " << c.name;
        EXPECT_EQ(c.line, f->m_Line) << "case " << i << ": " << c.name;
        for (const Finding& other : report.m_Findings)
            EXPECT_TRUE(other.m_Code == c.code || c.alsoAllowed.count(other.m_Code) > 0)
                << "case " << i << ": " << c.name << ": unexpected " << other.m_Code << ": " << other.m_Message;
        EXPECT_EQ(c.severity == Severity::Error, report.Count(Severity::Error) > 0) << "case " << i << ": " << c.name;
    }
}

// The same order as the file layer: plain file, single compressed file,
// then the deepest archive above; a damaged or missing one is an error.
TEST(CheckDist, ConfigurationComesFromWhereTheProgramsReadIt)
{
    struct Case {
        const char* name;
        std::function<void(const ScratchDir&)> store;
        const char* source;
        const char* errorCode;
    } cases[] = {
        {"plain file", nullptr, "plain file", nullptr},
        {"single compressed file",
         [](const ScratchDir& d) {
             DeleteFileA((d / "dist\\cfg\\init.ini").c_str());
             d.WriteFile("dist\\cfg\\init105110105.pak", MakeSingle("init.ini", kInit));
         },
         "single compressed file", nullptr},
        {"member of cfg.pak",
         [](const ScratchDir& d) {
             TestSupport::RemoveTree(d / "dist\\cfg");
             d.WriteFile("dist\\cfg.pak", MakeArchive({{"init.ini", kInit}}));
         },
         "archive member", nullptr},
        {"member of an archive beside the distribution",
         [](const ScratchDir& d) {
             TestSupport::RemoveTree(d / "dist\\cfg");
             d.WriteFile("dist.pak", MakeArchive({{"cfg\\init.ini", kInit}}));
         },
         "archive member", nullptr},
        {"cfg.pak without the member hides the outer archive",
         [](const ScratchDir& d) {
             TestSupport::RemoveTree(d / "dist\\cfg");
             d.WriteFile("dist\\cfg.pak", MakeArchive({{"other.ini", "x"}}));
             d.WriteFile("dist.pak", MakeArchive({{"cfg\\init.ini", kInit}}));
         },
         "none", "config-missing"},
        {"nothing", [](const ScratchDir& d) { TestSupport::RemoveTree(d / "dist\\cfg"); }, "none", "config-missing"},
        {"damaged member",
         [](const ScratchDir& d) {
             TestSupport::RemoveTree(d / "dist\\cfg");
             std::string pak = MakeArchive({{"init.ini", kInit}});
             pak[pak.size() - 20] ^= 0x55;
             d.WriteFile("dist\\cfg.pak", pak);
         },
         "none", "config-unreadable"},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const Case& c = cases[i];
        ScratchDir dir;
        WriteDistribution(dir, kInit);
        if (c.store)
            c.store(dir);
        Report report = Check(dir);
        EXPECT_EQ(c.source, report.m_ConfigSource) << "case " << i << ": " << c.name;
        if (c.errorCode == nullptr) {
            EXPECT_EQ(0, report.Count(Severity::Error)) << "case " << i << ": " << c.name << "\n" << Describe(report);
            ASSERT_FALSE(report.m_Keys.empty()) << "case " << i;
            EXPECT_EQ(4, report.m_Keys[1].m_Line) << "case " << i << ": " << c.name;  // DiskDirectory
        } else {
            EXPECT_NE(nullptr, FindCode(report, c.errorCode)) << "case " << i << ": " << c.name << "\n" << Describe(report);
        }
    }
}

TEST(CheckDist, PictureScheduleSaysWhichPictureShowsWhen)
{
    ScratchDir dir;
    // Slots need not be contiguous; slot 7 without a threshold would count from 0.
    WriteDistribution(dir, Edit(0, "InstallBitmap7 pictures\\back1.bmp\r\nInstallBitmapPer7 90"));
    Report report = Check(dir);
    std::vector<std::string> schedule;
    for (const CheckDist::Fact& f : report.m_Facts)
        if (f.m_Section == "schedule")
            schedule.push_back(f.m_Text);
    std::vector<std::string> want = {
        "at the start: picture 1",
        "0-49 %: picture 1 (pictures\\back1.bmp)",
        "50-89 %: picture 2 (pictures\\back2.bmp)",
        "90-100 %: picture 7 (pictures\\back1.bmp)",
    };
    EXPECT_EQ(want, schedule) << Describe(report);
    EXPECT_EQ(0, report.Count(Severity::Warning)) << Describe(report);
}

// The sample distribution of the sample run, with small stand-ins for its
// large files: its own cfg\init.ini must pass with no error and no warning.
TEST(CheckDist, SampleDistributionPassesClean)
{
    std::string init;
    ASSERT_TRUE(ScratchDir::ReadFile(CORVANE_SAMPLE_INIT, init)) << CORVANE_SAMPLE_INIT;
    // Stored as UTF-8 in the tree, as the sample run converts it.
    int n = MultiByteToWideChar(CP_UTF8, 0, init.data(), static_cast<int>(init.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, init.data(), static_cast<int>(init.size()), &w[0], n);
    int m = WideCharToMultiByte(932, 0, w.data(), n, nullptr, 0, nullptr, nullptr);
    std::string cp932(m, '\0');
    WideCharToMultiByte(932, 0, w.data(), n, &cp932[0], m, nullptr, nullptr);

    ScratchDir dir;
    WriteDistribution(dir, cp932);
    ASSERT_TRUE(dir.WriteFile("dist\\pictures\\back3.bmp", MakeBitmap(16, 12)));
    ASSERT_TRUE(dir.WriteFile("dist\\gamedata\\voice2.pak", MakeArchive({{"ボイス\\表情01.ogg", "ogg"}, {"readme.txt", "r"}})));
    ASSERT_TRUE(dir.WriteFile("dist\\gamedata\\FULL", "full voice edition\r\n"));
    Report report = Check(dir);
    EXPECT_EQ(0, report.Count(Severity::Error)) << Describe(report);
    EXPECT_EQ(0, report.Count(Severity::Warning)) << Describe(report);
    EXPECT_EQ(u8"サンプルゲーム", report.m_Keys[0].m_Value);
}

// The console program: the exit code says whether there are errors; the
// machine-readable form carries each finding with its code and line.
TEST(CheckDist, ProgramExitCodeAndMachineReadableReport)
{
    ScratchDir clean, broken;
    WriteDistribution(clean, kInit);
    WriteDistribution(broken, Edit(3, "Message01 の追加データを インストールします。"));
    EXPECT_EQ(0u, RunTool("\"" + (clean / "dist") + "\"", clean / "out.txt"));
    EXPECT_NE(std::string::npos, TestSupport::ReadWhole(clean / "out.txt").find("0 errors, 0 warnings"))
        << TestSupport::ReadWhole(clean / "out.txt");
    EXPECT_EQ(1u, RunTool("--json \"" + (broken / "dist") + "\"", broken / "out.json"));
    std::string json = TestSupport::ReadWhole(broken / "out.json");
    EXPECT_NE(std::string::npos, json.find("\"code\": \"value-cut\", \"file\": \"cfg\\\\init.ini\", \"line\": 3")) << json;
    EXPECT_NE(std::string::npos, json.find("\"errors\": 1,")) << json;
    EXPECT_EQ(2u, RunTool("\"" + (clean / "dist") + "\" --bogus", clean / "usage.txt"));
}
