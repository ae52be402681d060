#pragma once

#include <string>

namespace Corvane { namespace Base { namespace Auxiliary {

// One installation as Information.reg keeps it; the name is the key.
struct SetupInformationRecord {
    std::string m_AppName;
    std::string m_InstallFolder;
    std::string m_ProgramPath;     // counts for look-ups only while something exists here
    std::string m_UninstallerPath;
    bool m_bFlag = false;
};

}}}
