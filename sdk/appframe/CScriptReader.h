#pragma once

#include <string>

#include "appframe/ScriptText.h"

namespace Corvane { namespace Base { namespace File {

// Reader of line-oriented text files in code page 932: the whole file is
// read into one buffer (plus an appended line feed) and parsed in memory.
class CScriptReader {
public:
    CScriptReader();
    CScriptReader(const CScriptReader&) = delete;
    CScriptReader& operator=(const CScriptReader&) = delete;
    virtual ~CScriptReader();

    // Through the SDK file layer; on failure nothing changes.
    bool Open(const std::string& path);
    // Loads bytes directly, as Open does with a file's content.
    bool OpenBuffer(const char* data, int size);
    // The next line that holds anything after comments and squeezing, split into fields.
    bool ReadFields(std::string* fields, int count);
    // The next physical line, raw (carriage returns dropped).
    bool ReadLine(std::string& line);
    void Rewind();
    void Release();

    int GetLineCount() const { return m_nLineCount; }

    bool m_bBlankSeparates;
    bool m_bSplitFields;
    bool m_bSqueezeBlanks;
    bool m_bSqueezeCommas;

private:
    char* m_pBuffer;
    char* m_pCursor;
    int m_nSize;
    int m_nLineCount;
};

}}}
