#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace TestSupport {

struct BoxRecord {
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    std::vector<int> buttons;  // control IDs present: IDOK, IDCANCEL, IDRETRY, IDYES, IDNO, ...
    std::string icon;          // "error", "warning", "information", "question", "" (none or unknown)
    DWORD processId = 0;
    int answer = 0;            // the button pressed; 0 for an unexpected box (closed, test failed)
};

// While it lives, a watcher thread finds every message box of this process
// and of its descendants, records it and presses the next queued answer.
// Boxes of unrelated processes (other tests sharing the Wine prefix) are left alone.
// An unexpected box is closed so nothing hangs, and fails the test at Verify();
// so does an expected box that never comes.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(DWORD timeoutMs = 20000);
    ~MessageBoxAnswerer();  // Verify()
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Queues the button to press for the next box.
    void Expect(int buttonId);
    // Waits until `count` boxes in all have been seen; false on timeout.
    bool WaitForBoxes(size_t count, DWORD timeoutMs);
    std::vector<BoxRecord> Boxes() const;
    // Waits (bounded) for queued answers to be used, then reports unexpected
    // boxes and unused answers as test failures. Safe to call more than once.
    void Verify();

    // The recognition rule, exposed for tests: a dialog-class window whose
    // children are only static controls and standard-ID push buttons.
    static bool IsMessageBox(HWND window);
    static BoxRecord Read(HWND window);

private:
    static DWORD WINAPI WatchThread(LPVOID self);
    void Poll();
    void Handle(HWND window);

    DWORD m_Timeout;
    HANDLE m_hThread;
    HANDLE m_hStop;
    HANDLE m_hChanged;
    mutable CRITICAL_SECTION m_Lock;
    std::vector<int> m_Answers;
    std::vector<BoxRecord> m_Boxes;
    std::vector<HWND> m_Handled;
    size_t m_Reported;
    bool m_bVerified;
};

}  // namespace TestSupport
