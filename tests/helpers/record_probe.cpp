// Writes one installation record into Information.reg with the product's own
// worker, as an earlier installation of the base game would have left it.
//   record_probe.exe NAME INSTALL-FOLDER PROGRAM-PATH [UNINSTALLER-PATH]
#include <cstdio>

#include "auxiliary/CSetupHelper2.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: record_probe NAME INSTALL-FOLDER PROGRAM-PATH [UNINSTALLER-PATH]\n");
        return 2;
    }
    Corvane::Base::Auxiliary::SetupInformationRecord record;
    record.m_AppName = argv[1];
    record.m_InstallFolder = argv[2];
    record.m_ProgramPath = argv[3];
    if (argc > 4)
        record.m_UninstallerPath = argv[4];
    Corvane::Base::Auxiliary::CSetupHelper2 helper;
    if (!helper.WriteSetupInformation(record)) {
        std::fprintf(stderr, "record_probe: Information.reg could not be written\n");
        return 1;
    }
    return 0;
}
