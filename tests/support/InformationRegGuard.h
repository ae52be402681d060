#pragma once

#include <string>

namespace TestSupport {

// Takes the user's Information.reg away for a test and puts it back afterwards,
// so every test starts without installation records.
class InformationRegGuard {
public:
    InformationRegGuard();
    ~InformationRegGuard();
    InformationRegGuard(const InformationRegGuard&) = delete;
    InformationRegGuard& operator=(const InformationRegGuard&) = delete;

    const std::string& Path() const { return m_Path; }
    // The current bytes of the file; empty when it does not exist.
    std::string Bytes() const;

private:
    std::string m_Path;
    std::string m_Saved;
    bool m_bExisted;
};

}  // namespace TestSupport
