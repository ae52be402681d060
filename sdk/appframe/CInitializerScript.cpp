#include "appframe/CInitializerScript.h"

#include "appframe/CScriptReader.h"
#include "file/PathText.h"

namespace Corvane { namespace Base { namespace AppFrame {

CInitializerScript::CInitializerScript()
{
    ReadScript("cfg\\init.ini");
}

CInitializerScript::~CInitializerScript()
{
    m_Values.clear();
}

bool CInitializerScript::ReadScript(const std::string& path)
{
    m_Values.clear();
    File::CScriptReader reader;
    if (!reader.Open(path))
        return false;
    std::string pair[2];
    while (reader.ReadFields(pair, 2))
        m_Values.push_back(std::make_pair(pair[0], pair[1]));
    return true;
}

std::string CInitializerScript::GetValue(const std::string& key) const
{
    for (const auto& entry : m_Values)
        if (entry.first == key)
            return entry.second;
    return std::string();
}

int CInitializerScript::GetValueInt(const std::string& key) const
{
    return File::StringToInt(GetValue(key));
}

}}}
