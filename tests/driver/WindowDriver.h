#pragma once

// Drives a program through its windows, for end-to-end tests and the sample
// run: starts it, watches the top-level windows of it and of every process
// it starts, records each state it sees into a transcript and answers by
// rules. Works under Wine's null graphics driver; every wait is bounded.
// No test framework here, so the stand-alone drive.exe can use it too.

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace TestDriver {

struct ControlState {
    int id = 0;
    std::string className;
    std::string text;
    bool enabled = true;
    bool visible = true;
    int width = 0, height = 0;  // pixels; a picture control takes its bitmap's size
    int position = -1;          // progress bars: current position
    // Icon statics: "error", "warning", "information", "question" for boxes of
    // this process; for other processes "icon" when one is shown.
    std::string icon;
};

struct WindowState {
    HWND window = nullptr;
    HWND owner = nullptr;  // not part of Describe(): handles differ from run to run
    DWORD processId = 0;
    std::string className;
    std::string caption;
    bool enabled = true;
    std::vector<ControlState> controls;

    const ControlState* Control(int id) const;
    bool HasText(const std::string& part) const;  // in the caption or any control
    // The text of a message box: its one static text.
    std::string BoxText() const;
    std::string Icon() const;  // of the first icon static, "" for none
    std::string Describe() const;
};

struct Rule {
    std::string caption;  // exact; empty: any
    std::string text;     // contained in a control text; empty: any
    int button = IDOK;    // pressed once per window when the button is there and enabled;
                          // 0: expected, but left open (a later rule may answer it)
    int times = 1;        // how many windows the rule answers; -1: any number
    bool boxesOnly = false;  // only message boxes match
};

struct ProcessRecord {
    DWORD id = 0;
    std::string image;    // full path of the program file
    bool system = false;  // one of the system's own helpers (below the Windows folder)
    DWORD exitCode = STILL_ACTIVE;
};

struct Event {
    DWORD tick = 0;
    WindowState state;
    int pressed = 0;  // button pressed after this state, 0 for none
    bool unexpected = false;
};

class WindowDriver {
public:
    WindowDriver();
    ~WindowDriver();  // stops watching; kills what still runs of the started family
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    void Answer(const std::string& caption, const std::string& text, int button, int times = 1);
    // Message boxes that no rule answers are closed and marked unexpected, once
    // they have been read alike on two rounds (a box is never judged half-built).
    // Other windows without a rule are left alone. A window is pressed at most
    // once per state it shows: the next press waits until the first took effect.
    // Answers `button` in the next message box no earlier answer took, whatever it says.
    void AnswerNextBox(int button);
    // Answers (not holds) that still wait for their window.
    size_t PendingAnswers() const;
    // Waits until no answer is pending; false on timeout.
    bool WaitForAnswers(DWORD timeoutMs);
    // Forgets the pending answers; returns how many there were.
    size_t DropPendingAnswers();
    void SetScreenshotFolder(const std::string& folder);

    // Starts `commandLine` (program path quoted by the caller) and watches.
    bool Start(const std::string& commandLine, const std::string& currentDirectory = std::string());
    DWORD ProcessId() const { return m_ProcessId; }
    // Watches the windows of this process and its descendants without starting anything.
    void Watch();
    // False when the started process and its descendants have not ended in time
    // (they are then killed). On true every program of the family seen has
    // ended and the watcher has looked at the windows once more after that.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    // Waits until some recorded state satisfies `match`.
    bool WaitFor(const std::function<bool(const WindowState&)>& match, DWORD timeoutMs);

    std::vector<Event> Events() const;
    // The events whose window satisfies `match`, in order.
    std::vector<Event> Find(const std::function<bool(const WindowState&)>& match) const;
    std::vector<Event> Unexpected() const;
    std::string Transcript() const;
    // Exit codes of every program of the family seen so far, in the order
    // they were first seen (STILL_ACTIVE while running). The system's own
    // helpers that a program may start (the shell's link processor, ...) are
    // left out: they are not the programs under test.
    std::vector<std::pair<DWORD, DWORD>> ExitCodes() const;
    // Every process of the family seen so far, helpers included.
    std::vector<ProcessRecord> Processes() const;
    // Complete rounds of looking at the windows so far.
    unsigned Rounds() const;

    static WindowState Read(HWND window);
    // `consistent`: false when the window changed while it was read.
    static WindowState Read(HWND window, bool* consistent);
    static bool IsMessageBox(const WindowState& state);

private:
    static DWORD WINAPI WatchThread(LPVOID self);
    void Poll();
    void Screenshot(HWND window, size_t index, const std::string& caption);
    void KillFamily();
    bool WaitForRounds(unsigned count, DWORD timeoutMs);

    struct Seen {
        HWND window;
        std::string description;  // last recorded
        unsigned rounds;          // rounds in a row this description was read
        bool pressed;             // pressed in this state already
    };

    HANDLE m_hProcess;
    DWORD m_ProcessId;
    HANDLE m_hThread;
    HANDLE m_hStop;
    mutable CRITICAL_SECTION m_Lock;
    std::vector<Rule> m_Rules;
    std::vector<Event> m_Events;
    std::vector<Seen> m_Last;
    std::vector<std::pair<HWND, size_t>> m_Pressed;    // (window, rule) already answered
    std::string m_ScreenshotFolder;
    size_t m_Shots;
    std::set<DWORD> m_Family;  // watcher thread only
    DWORD m_FamilyTick;
    std::vector<std::pair<DWORD, HANDLE>> m_Processes;  // every family member seen, held open
    std::vector<ProcessRecord> m_Records;               // alike, with what they are
    unsigned m_Rounds;
};

// A process and every process it started, directly or not, that still runs.
std::set<DWORD> Descendants(DWORD root);
// "error", "warning", "information" or "question" for this process's handle of
// a system icon; "" otherwise.
std::string SystemIconName(HICON icon);

// The start of a quoted command line: "path" followed by `arguments`.
std::string QuoteCommand(const std::string& program, const std::string& arguments);

}  // namespace TestDriver
