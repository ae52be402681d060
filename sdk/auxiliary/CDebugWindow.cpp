#include "auxiliary/CDebugWindow.h"

#include <shlobj.h>

#include <ctime>

#include "allocator/CAllocatorManager.h"
#include "appframe/CAppInitializer.h"
#include "appframe/CScriptReader.h"
#include "appframe/CWindowInfo.h"
#include "auxiliary/DebugPrint.h"
#include "file/FileSystem.h"
#include "file/PathText.h"
#include "template/CAppCallbackRegistry.h"
#include "thread/CCriticalLock.h"
#include "thread/Singleton.h"

namespace {

// Keeps the allocator registry alive while this unit's statics may still free memory.
Corvane::Base::Allocator::CStaticObjectCounter s_StaticObjects;

const int kKeptRuns = 10;

}  // namespace

namespace Corvane { namespace Base { namespace Auxiliary {

CDebugWindow::CDebugWindow()
    : m_Lock(*GetDebugOutputLock()),
      m_bWindowSwitch(false),
      m_bLogSwitch(false),
      m_bWindowFailed(false),
      m_bInLog(false),
      m_pSink(nullptr),
      m_pSinkContext(nullptr)
{
    // Closing the debug window must not end the program's other threads.
    SetStopAllOnClose(false);
    Template::CAppCallbackRegistry* registry = Template::GetAppCallbackRegistry();
    if (registry != nullptr)
        registry->AddShutdownCallback(
            new Template::function_callback_vm0<CDebugWindow>(this, &CDebugWindow::CloseWindow));
    SetDebugOutputSink(&CDebugWindow::SinkEntry, this);
}

CDebugWindow::~CDebugWindow()
{
    SetDebugOutputSink(nullptr, nullptr);
    // The window thread calls back into this object: end it while it is whole.
    CAppBase::RequestStop();
    Stop();
    Thread::CCriticalLock lock(&m_Lock);
    WriteTimeLine(" ---------end of process %04d/%02d/%02d %02d:%02d:%02d--------- ");
    WriteLogLine("");
    m_LogFile.Close();
}

void CDebugWindow::SinkEntry(const char* text, void* context)
{
    static_cast<CDebugWindow*>(context)->Output(text);
}

void CDebugWindow::OnSetupWindowInfo(AppFrame::CWindowInfo& info)
{
    // The window is itself the list box.
    info.SetClassName("LISTBOX");
    info.m_Title = "デバッグ表示";
    info.m_Style = 0x10EF0100;  // WS_VISIBLE | WS_OVERLAPPEDWINDOW | WS_VSCROLL | LBS_NOINTEGRALHEIGHT
    info.m_X = 0;
    info.m_Y = 0;
    info.m_Width = 300;
    info.m_Height = 150;
    info.m_bCenter = false;
}

void CDebugWindow::OnStartup()
{
    Thread::CCriticalLock lock(&m_Lock);
    if (!m_bWindowSwitch)
        return;
    if (GetWindow() == nullptr && !Run())
        m_bWindowFailed = true;
    if (GetHWnd() != nullptr)
        SendMessageA(GetHWnd(), LB_RESETCONTENT, 0, 0);
}

void CDebugWindow::CloseWindow()
{
    SetClosing();
    PostMessageA(GetHWnd(), WM_CLOSE, 0, 0);
    CAppBase::RequestStop();
}

void CDebugWindow::Output(const char* text)
{
    Thread::CCriticalLock lock(&m_Lock);
    if (text == nullptr)
        return;
    if (m_pSink != nullptr)
        m_pSink(text, m_pSinkContext);
    if (m_bWindowSwitch)
        OutputToWindow(text);
    if (m_bLogSwitch && !m_bInLog) {
        m_bInLog = true;
        if (!m_LogFile.IsOpen())
            OpenLog();
        std::string line = std::string(text) + "\r\n";
        OutputDebugStringA(line.c_str());
        WriteLogLine(text);
        m_bInLog = false;
    }
}

void CDebugWindow::OutputToWindow(const char* text)
{
    // The window thread reports its own creation failure; it must not start
    // another window thread from there, nor every report a new attempt.
    if (GetWindow() == nullptr && !m_bWindowFailed && GetCurrentThreadId() != GetThreadId()) {
        if (!Run())
            m_bWindowFailed = true;
    }
    HWND hwnd = GetHWnd();
    if (hwnd == nullptr)
        return;
    SendMessageA(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    LRESULT count = SendMessageA(hwnd, LB_GETCOUNT, 0, 0);
    if (count != LB_ERR)
        SendMessageA(hwnd, LB_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
}

std::string CDebugWindow::GetLogPath()
{
    Thread::CCriticalLock lock(&m_Lock);
    if (m_LogFolder.empty())
        m_LogFolder = GetUserDataPath();
    m_LogPath = m_LogFolder + "\\log.txt";
    return m_LogPath;
}

void CDebugWindow::SetLogFolder(const std::string& folder)
{
    Thread::CCriticalLock lock(&m_Lock);
    m_LogFolder = folder;
}

void CDebugWindow::OpenLog()
{
    m_bLogSwitch = false;
    GetLogPath();
    File::CScriptReader reader;
    if (reader.Open(m_LogPath)) {
        int headers = 0;
        std::string fields[4];
        while (reader.ReadFields(fields, 4)) {
            if (fields[0] == "###")
                ++headers;
        }
        reader.Release();
        if (headers > kKeptRuns)
            TrimLog(headers);
        if (!m_LogFile.Create(m_LogPath, false))
            return;
    } else {
        File::CreateDirectoryTree(m_LogFolder);
        if (!m_LogFile.Create(m_LogPath, true))
            return;
    }
    m_bLogSwitch = true;
    WriteTimeLine("### --------------%04d/%02d/%02d %02d:%02d:%02d-------------- ###");
}

bool CDebugWindow::TrimLog(int headers)
{
    std::string backupPath = m_LogFolder + "\\backup_log.txt";
    File::CFile backup;
    if (!backup.Create(backupPath, true))
        return false;
    File::CScriptReader reader;
    if (!reader.Open(m_LogPath)) {
        backup.Close();
        DeleteFileA(backupPath.c_str());
        return false;
    }
    // Everything before the (headers - 9)-th header goes.
    int counter = headers + 1;
    std::string line;
    std::string pending;
    bool hasPending = false;
    bool written = true;
    while (reader.ReadLine(line)) {
        if (line.size() > 5 && line.compare(0, 4, "### ") == 0)
            --counter;
        if (counter > kKeptRuns)
            continue;
        if (hasPending) {
            DWORD size = static_cast<DWORD>(pending.size());
            if (backup.Write(pending.data(), 1, size) != size)
                written = false;
        }
        pending = line + "\r\n";
        hasPending = true;
    }
    // The reader ends every buffer with a line feed of its own: an empty last
    // line is that one, not a line of the file.
    if (hasPending && pending != "\r\n") {
        DWORD size = static_cast<DWORD>(pending.size());
        if (backup.Write(pending.data(), 1, size) != size)
            written = false;
    }
    reader.Release();
    backup.Close();
    // A short copy would lose runs: the old log stays then.
    if (!written) {
        DeleteFileA(backupPath.c_str());
        return false;
    }
    DeleteFileA(m_LogPath.c_str());
    return MoveFileA(backupPath.c_str(), m_LogPath.c_str()) != FALSE;
}

void CDebugWindow::WriteLogLine(const char* text)
{
    if (!m_LogFile.IsOpen())
        return;
    bool wasInLog = m_bInLog;
    m_bInLog = true;
    std::string line = std::string(text) + "\r\n";
    m_LogFile.Write(line.data(), 1, static_cast<DWORD>(line.size()));
    // Closing after each line puts it on disk before the program goes on.
    m_LogFile.Close();
    File::CreateDirectoryTree(m_LogFolder);
    m_LogFile.Create(m_LogPath, false);
    m_bInLog = wasInLog;
}

void CDebugWindow::WriteTimeLine(const char* format)
{
    if (!m_LogFile.IsOpen())
        return;
    time_t now = time(nullptr);
    struct tm local = {};
    struct tm* got = localtime(&now);
    if (got != nullptr)
        local = *got;
    char line[128] = {};
    wsprintfA(line, format, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
              local.tm_min, local.tm_sec);
    WriteLogLine(line);
}

void CDebugWindow::SetWindowSwitch(bool on)
{
    Thread::CCriticalLock lock(&m_Lock);
    m_bWindowSwitch = on;
    m_bWindowFailed = false;
}

void CDebugWindow::SetLogSwitch(bool on)
{
    Thread::CCriticalLock lock(&m_Lock);
    m_bLogSwitch = on;
    // Switched off, the log lets others read it; switched on again it is
    // opened anew with a header of its own.
    if (!on)
        m_LogFile.Close();
}

bool CDebugWindow::GetWindowSwitch()
{
    Thread::CCriticalLock lock(&m_Lock);
    return m_bWindowSwitch;
}

bool CDebugWindow::GetLogSwitch()
{
    Thread::CCriticalLock lock(&m_Lock);
    return m_bLogSwitch;
}

void CDebugWindow::SetReportSink(ReportSink sink, void* context)
{
    Thread::CCriticalLock lock(&m_Lock);
    m_pSink = sink;
    m_pSinkContext = context;
}

CDebugWindow* GetDebugWindow()
{
    return Thread::CSingleton<CDebugWindow>::Get();
}

std::string GetUserDataPath()
{
    std::string appData = File::GetSpecialFolderPath(CSIDL_APPDATA);
    if (appData.empty())
        return File::GetModuleDirectory();
    std::string value = AppFrame::CAppInitializer::GetInitializerScript().GetValue("UserDataDirectory");
    if (value.empty())
        value = "Pellin";
    return File::RemoveDoubleBackslash(appData + "\\" + value);
}

}}}
