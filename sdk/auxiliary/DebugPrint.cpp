#include "auxiliary/DebugPrint.h"

#include <cstdarg>
#include <string>

#include "auxiliary/CDebugWindow.h"
#include "file/FileSystem.h"

namespace Corvane { namespace Base {

void DebugPrint(const char* format, ...)
{
    if (format == nullptr)
        return;
    va_list args;
    va_start(args, format);
    std::string text = File::FormatStringV(format, args);
    va_end(args);
    // The finished text is handed on as text, never used as a format again.
    Auxiliary::CDebugWindow* window = Auxiliary::GetDebugWindow();
    if (window != nullptr)
        window->Output(text.c_str());
}

}}
