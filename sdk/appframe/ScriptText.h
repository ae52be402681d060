#pragma once

// Line and field splitting of script text, over a byte buffer that holds the
// file followed by one appended line feed (size + 1 bytes). Pure: no Win32.
// A Shift-JIS lead byte and the byte after it always travel together.

#include <string>

namespace Corvane { namespace Base { namespace File {

struct ScriptFlags {
    bool blankSeparates = true;  // a blank or tab may end a field
    bool splitFields = true;     // fields are split at all
    bool squeezeBlanks = true;   // blank runs count as one; one leading blank skipped
    bool squeezeCommas = false;  // comma runs count as one
};

// The cursor `pos` is an index into the buffer; the reader is at its end once
// pos > size (the appended line feed consumed).
bool ScriptReadFields(const char* buffer, int size, int& pos, const ScriptFlags& flags,
                      std::string* fields, int count);
bool ScriptReadLine(const char* buffer, int size, int& pos, std::string& line);

}}}
