// Writes installation records into Information.reg with the product's own
// worker, one after another without end, until it is killed:
//   record i has the name "R<i mod 5>" and the install folder "F<i>".
#include "auxiliary/CSetupHelper2.h"

#include <string>

int main()
{
    Corvane::Base::Auxiliary::CSetupHelper2 helper;
    for (unsigned i = 0;; ++i) {
        Corvane::Base::Auxiliary::SetupInformationRecord record;
        record.m_AppName = "R" + std::to_string(i % 5);
        record.m_InstallFolder = "F" + std::to_string(i);
        if (!helper.WriteSetupInformation(record))
            return 1;
    }
}
