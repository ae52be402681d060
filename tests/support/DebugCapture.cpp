#include "support/DebugCapture.h"

#include "auxiliary/CDebugWindow.h"
#include "thread/CCriticalLock.h"
#include "thread/CCriticalSection.h"

namespace TestSupport {

using Corvane::Base::Thread::CCriticalLock;

struct DebugCapture::State {
    Corvane::Base::Thread::CCriticalSection lock;
    std::vector<std::string> reports;
};

DebugCapture::DebugCapture() : m_pState(new State)
{
    Corvane::Base::Auxiliary::GetDebugWindow()->SetReportSink(&DebugCapture::Sink, this);
}

DebugCapture::~DebugCapture()
{
    Corvane::Base::Auxiliary::GetDebugWindow()->SetReportSink(nullptr, nullptr);
    delete m_pState;
}

void DebugCapture::Sink(const char* text, void* context)
{
    DebugCapture* self = static_cast<DebugCapture*>(context);
    CCriticalLock lock(&self->m_pState->lock);
    self->m_pState->reports.push_back(text);
}

std::vector<std::string> DebugCapture::Reports() const
{
    CCriticalLock lock(&m_pState->lock);
    return m_pState->reports;
}

int DebugCapture::Count(const std::string& text) const
{
    CCriticalLock lock(&m_pState->lock);
    int n = 0;
    for (const std::string& r : m_pState->reports)
        if (r.find(text) != std::string::npos)
            ++n;
    return n;
}

void DebugCapture::Clear()
{
    CCriticalLock lock(&m_pState->lock);
    m_pState->reports.clear();
}

}  // namespace TestSupport
