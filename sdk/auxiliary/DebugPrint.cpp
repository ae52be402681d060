#include "auxiliary/DebugPrint.h"

#include <windows.h>

#include <cstdarg>
#include <cstring>

#include "auxiliary/CDebugWindow.h"

namespace Corvane { namespace Base {

void DebugPrint(const char* format, ...)
{
    if (format == nullptr)
        return;
    char buffer[2048];
    std::memset(buffer, 0, sizeof(buffer));
    va_list args;
    va_start(args, format);
    wvsprintfA(buffer, format, args);
    va_end(args);
    buffer[1024] = '\0';  // the formatter stops at 1024 characters; keep that bound whatever it returns

    size_t length = std::strlen(buffer);
    if (length > 0 && buffer[length - 1] == '\n')
        buffer[length - 1] = '\0';

    Auxiliary::CDebugWindow* window = Auxiliary::GetDebugWindow();
    if (window != nullptr)
        window->Output(buffer);
}

}}
