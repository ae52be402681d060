#include "appframe/CScriptReader.h"

#include <cstring>

namespace Corvane { namespace Base { namespace File {

CScriptReader::CScriptReader()
    : m_bBlankSeparates(true),
      m_bSplitFields(true),
      m_bSqueezeBlanks(true),
      m_bSqueezeCommas(false),
      m_pBuffer(nullptr),
      m_pCursor(nullptr),
      m_nSize(0),
      m_nLineCount(0)
{
}

CScriptReader::~CScriptReader()
{
    Release();
    m_nLineCount = 0;
}

bool CScriptReader::OpenBuffer(const char* data, int size)
{
    // The parser's cursor runs one past the appended line feed: an int must hold size + 1.
    if (size < 0 || size >= 0x7FFFFFFF || (data == nullptr && size > 0))
        return false;
    char* buffer = new char[static_cast<size_t>(size) + 1];
    if (buffer == nullptr)
        return false;
    if (size > 0)
        std::memcpy(buffer, data, static_cast<size_t>(size));
    Release();
    m_pBuffer = buffer;
    m_nSize = size;
    m_pBuffer[m_nSize] = '\n';
    m_pCursor = m_pBuffer;
    m_nLineCount = 0;
    return true;
}

bool CScriptReader::ReadFields(std::string* fields, int count)
{
    ScriptFlags flags;
    flags.blankSeparates = m_bBlankSeparates;
    flags.splitFields = m_bSplitFields;
    flags.squeezeBlanks = m_bSqueezeBlanks;
    flags.squeezeCommas = m_bSqueezeCommas;
    int pos = m_pBuffer != nullptr ? static_cast<int>(m_pCursor - m_pBuffer) : 0;
    bool ok = ScriptReadFields(m_pBuffer, m_nSize, pos, flags, fields, count);
    if (m_pBuffer != nullptr)
        m_pCursor = m_pBuffer + pos;
    if (ok)
        ++m_nLineCount;
    return ok;
}

bool CScriptReader::ReadLine(std::string& line)
{
    int pos = m_pBuffer != nullptr ? static_cast<int>(m_pCursor - m_pBuffer) : 0;
    bool ok = ScriptReadLine(m_pBuffer, m_nSize, pos, line);
    if (m_pBuffer != nullptr)
        m_pCursor = m_pBuffer + pos;
    return ok;
}

void CScriptReader::Rewind()
{
    m_pCursor = m_pBuffer;
    m_nLineCount = 0;
}

void CScriptReader::Release()
{
    delete[] m_pBuffer;
    m_pBuffer = nullptr;
    m_pCursor = nullptr;
    m_nSize = 0;
}

}}}
