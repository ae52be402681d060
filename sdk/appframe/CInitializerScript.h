#pragma once

#include <string>
#include <utility>
#include <vector>

namespace Corvane { namespace Base { namespace AppFrame {

// The configuration of both programs: key/value lines of cfg\init.ini, read
// once. Lookups take the first entry of a key; a missing key reads as empty.
class CInitializerScript {
public:
    // Reads the relative name cfg\init.ini against the current directory.
    CInitializerScript();
    CInitializerScript(const CInitializerScript&) = delete;
    CInitializerScript& operator=(const CInitializerScript&) = delete;
    virtual ~CInitializerScript();

    bool ReadScript(const std::string& path);
    std::string GetValue(const std::string& key) const;
    // The decimal number the value starts with; 0 when it starts with none.
    int GetValueInt(const std::string& key) const;

    const std::vector<std::pair<std::string, std::string>>& GetValues() const { return m_Values; }

private:
    std::vector<std::pair<std::string, std::string>> m_Values;
};

}}}
