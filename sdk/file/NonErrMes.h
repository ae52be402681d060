#pragma once

#include <windows.h>

namespace Corvane { namespace Base { namespace File {

// While it lives, a missing medium fails the open instead of raising a
// system message box; the previous error mode comes back afterwards.
class NonErrMes {
public:
    NonErrMes() : m_PreviousMode(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    virtual ~NonErrMes() { SetErrorMode(m_PreviousMode); }
    NonErrMes(const NonErrMes&) = delete;
    NonErrMes& operator=(const NonErrMes&) = delete;

private:
    UINT m_PreviousMode;
};

}}}
