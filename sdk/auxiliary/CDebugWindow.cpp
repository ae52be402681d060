#include "auxiliary/CDebugWindow.h"

#include "allocator/CAllocatorManager.h"
#include "template/CAppCallbackRegistry.h"
#include "thread/CCriticalLock.h"
#include "thread/Singleton.h"

namespace {

// Keeps the allocator registry alive while this unit's statics may still free memory.
Corvane::Base::Allocator::CStaticObjectCounter s_StaticObjects;

}  // namespace

namespace Corvane { namespace Base { namespace Auxiliary {

CDebugWindow::CDebugWindow()
    : m_bWindowSwitch(false), m_bLogSwitch(false), m_pSink(nullptr), m_pSinkContext(nullptr)
{
    Template::CAppCallbackRegistry* registry = Template::GetAppCallbackRegistry();
    if (registry != nullptr)
        registry->AddShutdownCallback(
            new Template::function_callback_vm0<CDebugWindow>(this, &CDebugWindow::CloseWindow));
}

void CDebugWindow::OnStartup()
{
    Thread::CCriticalLock lock(&m_Lock);
    // The list window starts here once its switch is on.
}

void CDebugWindow::CloseWindow()
{
    // No window is open while the window switch stays off.
}

CDebugWindow::~CDebugWindow()
{
}

void CDebugWindow::Output(const char* text)
{
    Thread::CCriticalLock lock(&m_Lock);
    if (m_pSink != nullptr)
        m_pSink(text, m_pSinkContext);
    // The list window and the log file join here when they are switched on.
}

void CDebugWindow::SetWindowSwitch(bool on)
{
    Thread::CCriticalLock lock(&m_Lock);
    m_bWindowSwitch = on;
}

void CDebugWindow::SetLogSwitch(bool on)
{
    Thread::CCriticalLock lock(&m_Lock);
    m_bLogSwitch = on;
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

}}}
