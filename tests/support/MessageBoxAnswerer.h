#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver/WindowDriver.h"

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

// While it lives, the window driver watches this process and its descendants:
// every message box is recorded and gets the next queued answer.
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

    // The driver's one rule for what a message box is (WindowDriver::IsMessageBox).
    static bool IsMessageBox(HWND window);
    static BoxRecord Read(HWND window);
    static BoxRecord FromState(const TestDriver::WindowState& state);

private:
    DWORD m_Timeout;
    TestDriver::WindowDriver m_Driver;
    size_t m_Reported;
};

}  // namespace TestSupport
