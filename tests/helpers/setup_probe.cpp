// A second process's setup worker: exit code 0 when it could NOT use
// Information.reg (another worker holds it), 1 when it could.
#include "auxiliary/CSetupHelper2.h"

int main()
{
    Corvane::Base::Auxiliary::CSetupHelper2 helper;
    Corvane::Base::Auxiliary::SetupInformationRecord record;
    record.m_AppName = "probe";
    return helper.WriteSetupInformation(record) ? 1 : 0;
}
