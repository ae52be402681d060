#pragma once

#include "thread/CCriticalSection.h"
#include "timer/CIntervalTimer.h"

namespace Corvane { namespace Base { namespace Auxiliary {

// The debug-output object: owns the output switches of DebugPrint and the
// lock that serialises every report. Both programs leave both switches off,
// so reports are formatted and dropped.
class CDebugWindow {
public:
    // Receives each finished report; the text is never used as a format.
    typedef void (*ReportSink)(const char* text, void* context);

    CDebugWindow();
    CDebugWindow(const CDebugWindow&) = delete;
    CDebugWindow& operator=(const CDebugWindow&) = delete;
    virtual ~CDebugWindow();

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

    // The application object's timer; its thread runs from construction on.
    Timer::CIntervalTimer& GetIntervalTimer() { return m_Timer; }

private:
    Timer::CIntervalTimer m_Timer;
    Thread::CCriticalSection m_Lock;  // re-entrant: a report made while outputting one nests
    bool m_bWindowSwitch;
    bool m_bLogSwitch;
    ReportSink m_pSink;
    void* m_pSinkContext;
};

// Singleton accessor; null once the object has been destroyed at exit.
CDebugWindow* GetDebugWindow();

}}}
