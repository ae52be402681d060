#include "auxiliary/DebugPrint.h"

#include <windows.h>

#include <cstdarg>
#include <cstring>
#include <new>

#include "thread/CCriticalLock.h"
#include "thread/CCriticalSection.h"

namespace Corvane { namespace Base {

namespace {

DebugOutputSink s_pSink = nullptr;
void* s_pSinkContext = nullptr;

}  // namespace

Thread::ICriticalSection* GetDebugOutputLock()
{
    // Placement storage: reports made during exit, after every other static
    // is gone, must still find a working lock. Allocates nothing, so a report
    // made under the allocator's lock cannot wait for it.
    alignas(Thread::CCriticalSection) static unsigned char s_Storage[sizeof(Thread::CCriticalSection)];
    static Thread::CCriticalSection* s_pLock = new (s_Storage) Thread::CCriticalSection();
    return s_pLock;
}

void SetDebugOutputSink(DebugOutputSink sink, void* context)
{
    Thread::CCriticalLock lock(GetDebugOutputLock());
    s_pSink = sink;
    s_pSinkContext = context;
}

void DebugPrint(const char* format, ...)
{
    if (format == nullptr)
        return;
    // wvsprintfA writes at most 1024 characters and the terminator.
    char text[2048];
    std::memset(text, 0, sizeof(text));
    va_list args;
    va_start(args, format);
    wvsprintfA(text, format, args);
    va_end(args);
    text[1024] = '\0';
    size_t length = std::strlen(text);
    if (length > 0 && text[length - 1] == '\n')
        text[length - 1] = '\0';

    Thread::CCriticalLock lock(GetDebugOutputLock());
    if (s_pSink != nullptr)
        s_pSink(text, s_pSinkContext);
}

}}
