#pragma once

#include <string>

#include "appframe/CAppBase.h"
#include "file/CFile.h"
#include "thread/ICriticalSection.h"

namespace Corvane { namespace Base { namespace Auxiliary {

// The debug-output object: the application object whose outputs DebugPrint
// feeds — the list window "デバッグ表示" and log.txt in the user-data folder,
// each behind its own switch. Both programs leave both switches off, so
// reports are formatted and dropped; the object's timer thread stays idle.
class CDebugWindow : public AppFrame::CAppBase {
public:
    // Receives each finished report; the text is never used as a format.
    typedef void (*ReportSink)(const char* text, void* context);

    CDebugWindow();
    CDebugWindow(const CDebugWindow&) = delete;
    CDebugWindow& operator=(const CDebugWindow&) = delete;
    ~CDebugWindow() override;

    // Hands one finished report to the outputs whose switch is on.
    void Output(const char* text);

    void SetWindowSwitch(bool on);
    void SetLogSwitch(bool on);
    bool GetWindowSwitch();
    bool GetLogSwitch();

    // A developer's extra output (tests use it to capture reports); null removes it.
    void SetReportSink(ReportSink sink, void* context);

    // Called by the start-up object while it brings up the SDK singletons.
    void OnStartup();
    // The shut-down callback: asks the debug window to close.
    void CloseWindow();

    // Where the log goes: GetUserDataPath() unless a developer chose another
    // folder; takes effect when the log is next opened.
    std::string GetLogPath();
    void SetLogFolder(const std::string& folder);

    void OnSetupWindowInfo(AppFrame::CWindowInfo& info) override;

private:
    static void SinkEntry(const char* text, void* context);
    void OutputToWindow(const char* text);
    void OpenLog();
    bool TrimLog(int headers);
    void WriteLogLine(const char* text);
    void WriteTimeLine(const char* format);

    Thread::ICriticalSection& m_Lock;  // the debug-output lock, shared with DebugPrint
    File::CFile m_LogFile;             // closed while no log is active
    bool m_bWindowSwitch;
    bool m_bLogSwitch;
    std::string m_LogPath;
    std::string m_LogFolder;
    bool m_bWindowFailed;  // a window that could not be created is not tried for every report
    bool m_bInLog;         // reports made by the log's own file work do not come back to it
    ReportSink m_pSink;
    void* m_pSinkContext;
};

// Singleton accessor; null once the object has been destroyed at exit.
CDebugWindow* GetDebugWindow();

// The product's per-user data folder: the application-data folder plus the
// value of UserDataDirectory ("Pellin" when empty). When the application-data
// folder is unknown, the program's own folder.
std::string GetUserDataPath();

}}}
