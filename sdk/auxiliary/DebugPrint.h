#pragma once

#include "thread/ICriticalSection.h"

namespace Corvane { namespace Base {

// The SDK's one fault-report function. Formats with wvsprintfA (at most 1024
// characters), drops one trailing "\n" and hands the text to the debug
// outputs that are switched on. Never stops the program, never shows a box.
void DebugPrint(const char* format, ...);

// Where finished reports go. DebugPrint lives below everything that reports,
// so it knows its outputs only through this sink, which the debug-output
// object registers while it lives; without one a report is dropped. The sink
// runs under the debug-output lock.
typedef void (*DebugOutputSink)(const char* text, void* context);
void SetDebugOutputSink(DebugOutputSink sink, void* context);

// The debug-output lock: re-entrant, never destroyed, held for the whole
// output of one report. The debug-output object uses it as its own lock so
// that no second lock order exists between the two.
Thread::ICriticalSection* GetDebugOutputLock();

}}
