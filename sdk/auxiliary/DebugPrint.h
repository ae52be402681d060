#pragma once

namespace Corvane { namespace Base {

// The SDK's one fault-report function. Formats with wvsprintfA (at most 1024
// characters), drops one trailing "\n" and hands the text to the debug
// outputs that are switched on. Never stops the program, never shows a box.
void DebugPrint(const char* format, ...);

}}
