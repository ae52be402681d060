#pragma once

namespace TestSupport {

// Test-only fault injection: replaces one imported function in the import
// table of the test program, so calls the SDK makes through it reach the
// replacement. Restored when the object goes.
class ImportHook {
public:
    ImportHook(const char* dll, const char* function, void* replacement);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    bool Installed() const { return m_pSlot != nullptr; }
    void* Original() const { return m_pOriginal; }

private:
    void** m_pSlot;
    void* m_pOriginal;
};

}  // namespace TestSupport
