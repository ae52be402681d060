#pragma once

#include <windows.h>

#include <string>

namespace Corvane { namespace Base { namespace AppFrame {

// One running copy per program path: holds a mutex named after the path
// (letter case and separators folded) for the object's life.
class CSingleApp {
public:
    // Guards the running program's own path.
    CSingleApp();
    explicit CSingleApp(const std::string& programPath);
    CSingleApp(const CSingleApp&) = delete;
    CSingleApp& operator=(const CSingleApp&) = delete;
    virtual ~CSingleApp();

    // False when another guard of the same path existed when this one was built.
    bool IsFirstInstance() const { return m_bFirstInstance; }

private:
    void Create(const std::string& programPath);

    HANDLE m_hMutex;
    bool m_bFirstInstance;
};

}}}
