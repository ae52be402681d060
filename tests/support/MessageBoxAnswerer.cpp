#include "support/MessageBoxAnswerer.h"

#include "driver/WindowDriver.h"


#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace TestSupport {

namespace {

const DWORD kPollMs = 15;

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string TextOf(HWND window)
{
    int length = GetWindowTextLengthA(window);
    std::string text(length + 1, '\0');
    int got = GetWindowTextA(window, &text[0], length + 1);
    text.resize(got > 0 ? got : 0);
    return text;
}

bool IsStandardButtonId(int id)
{
    return id >= IDOK && id <= 11;  // IDOK … IDCONTINUE
}

struct ChildScan {
    bool onlyStaticsAndButtons = true;
    int buttons = 0;
};

BOOL CALLBACK ScanChild(HWND child, LPARAM param)
{
    ChildScan* scan = reinterpret_cast<ChildScan*>(param);
    std::string cls = ClassOf(child);
    if (lstrcmpiA(cls.c_str(), "Button") == 0) {
        if (!IsStandardButtonId(GetDlgCtrlID(child)))
            scan->onlyStaticsAndButtons = false;
        ++scan->buttons;
    } else if (lstrcmpiA(cls.c_str(), "Static") != 0) {
        scan->onlyStaticsAndButtons = false;
    }
    return TRUE;
}

struct ReadState {
    BoxRecord* record;
};

BOOL CALLBACK ReadChild(HWND child, LPARAM param)
{
    BoxRecord* record = reinterpret_cast<BoxRecord*>(param);
    std::string cls = ClassOf(child);
    if (lstrcmpiA(cls.c_str(), "Button") == 0) {
        record->buttons.push_back(GetDlgCtrlID(child));
    } else if (lstrcmpiA(cls.c_str(), "Static") == 0) {
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON) {
            record->icon = TestDriver::SystemIconName(reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)));
        } else {
            std::string text = TextOf(child);
            if (!text.empty() && record->text.empty())
                record->text = text;
        }
    }
    return TRUE;
}

struct PollState {
    std::set<DWORD> family;
    std::vector<HWND> boxes;
};

BOOL CALLBACK FindBoxes(HWND window, LPARAM param)
{
    PollState* state = reinterpret_cast<PollState*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (state->family.count(pid) && IsWindowVisible(window) && MessageBoxAnswerer::IsMessageBox(window))
        state->boxes.push_back(window);
    return TRUE;
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(DWORD timeoutMs)
    : m_Timeout(timeoutMs), m_hThread(nullptr), m_Reported(0), m_bVerified(false)
{
    InitializeCriticalSection(&m_Lock);
    m_hStop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hChanged = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_hThread = CreateThread(nullptr, 0, &MessageBoxAnswerer::WatchThread, this, 0, nullptr);
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    Verify();
    SetEvent(m_hStop);
    WaitForSingleObject(m_hThread, 10000);
    CloseHandle(m_hThread);
    CloseHandle(m_hStop);
    CloseHandle(m_hChanged);
    DeleteCriticalSection(&m_Lock);
}

bool MessageBoxAnswerer::IsMessageBox(HWND window)
{
    // Message boxes are dialogs made of a text, an optional icon and
    // standard buttons; other dialogs of the programs carry other controls
    // (progress bars, pictures with own IDs) or non-standard button IDs.
    if (ClassOf(window) != "#32770")
        return false;
    ChildScan scan;
    EnumChildWindows(window, &ScanChild, reinterpret_cast<LPARAM>(&scan));
    return scan.onlyStaticsAndButtons && scan.buttons > 0;
}

BoxRecord MessageBoxAnswerer::Read(HWND window)
{
    BoxRecord record;
    record.owner = GetWindow(window, GW_OWNER);
    record.caption = TextOf(window);
    GetWindowThreadProcessId(window, &record.processId);
    EnumChildWindows(window, &ReadChild, reinterpret_cast<LPARAM>(&record));
    std::sort(record.buttons.begin(), record.buttons.end());
    return record;
}

void MessageBoxAnswerer::Expect(int buttonId)
{
    EnterCriticalSection(&m_Lock);
    m_Answers.push_back(buttonId);
    LeaveCriticalSection(&m_Lock);
}

bool MessageBoxAnswerer::WaitForBoxes(size_t count, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        EnterCriticalSection(&m_Lock);
        size_t seen = m_Boxes.size();
        LeaveCriticalSection(&m_Lock);
        if (seen >= count)
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        WaitForSingleObject(m_hChanged, std::min<DWORD>(timeoutMs - elapsed, 100));
    }
}

std::vector<BoxRecord> MessageBoxAnswerer::Boxes() const
{
    EnterCriticalSection(&m_Lock);
    std::vector<BoxRecord> copy = m_Boxes;
    LeaveCriticalSection(&m_Lock);
    return copy;
}

void MessageBoxAnswerer::Verify()
{
    EnterCriticalSection(&m_Lock);
    size_t wanted = m_Boxes.size() + m_Answers.size();
    LeaveCriticalSection(&m_Lock);
    if (!WaitForBoxes(wanted, m_Timeout)) {
        EnterCriticalSection(&m_Lock);
        size_t unused = m_Answers.size();
        m_Answers.clear();
        LeaveCriticalSection(&m_Lock);
        ADD_FAILURE() << unused << " expected message box(es) never came within " << m_Timeout << " ms";
    }
    EnterCriticalSection(&m_Lock);
    std::vector<BoxRecord> fresh(m_Boxes.begin() + m_Reported, m_Boxes.end());
    m_Reported = m_Boxes.size();
    LeaveCriticalSection(&m_Lock);
    for (const BoxRecord& box : fresh)
        if (box.answer == 0)
            ADD_FAILURE() << "unexpected message box \"" << box.caption << "\": " << box.text;
}

DWORD WINAPI MessageBoxAnswerer::WatchThread(LPVOID self)
{
    MessageBoxAnswerer* answerer = static_cast<MessageBoxAnswerer*>(self);
    while (WaitForSingleObject(answerer->m_hStop, kPollMs) == WAIT_TIMEOUT)
        answerer->Poll();
    return 0;
}

void MessageBoxAnswerer::Poll()
{
    PollState state;
    state.family = TestDriver::Descendants(GetCurrentProcessId());
    EnumWindows(&FindBoxes, reinterpret_cast<LPARAM>(&state));
    // Forget boxes that are gone, so a reused handle counts as a new box.
    m_Handled.erase(std::remove_if(m_Handled.begin(), m_Handled.end(),
                                   [](HWND w) { return !IsWindow(w); }),
                    m_Handled.end());
    for (HWND box : state.boxes)
        if (std::find(m_Handled.begin(), m_Handled.end(), box) == m_Handled.end())
            Handle(box);
}

void MessageBoxAnswerer::Handle(HWND window)
{
    BoxRecord record = Read(window);
    if (record.buttons.empty())
        return;  // still being built; look again on the next round
    m_Handled.push_back(window);
    EnterCriticalSection(&m_Lock);
    int answer = 0;
    if (!m_Answers.empty()) {
        answer = m_Answers.front();
        m_Answers.erase(m_Answers.begin());
    }
    LeaveCriticalSection(&m_Lock);
    int press = answer;
    if (press == 0)  // unexpected: close it by its cancel-like button
        press = std::find(record.buttons.begin(), record.buttons.end(), IDCANCEL) != record.buttons.end()
                    ? IDCANCEL : record.buttons.back();
    record.answer = answer;
    HWND button = GetDlgItem(window, press);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    EnterCriticalSection(&m_Lock);
    m_Boxes.push_back(record);
    LeaveCriticalSection(&m_Lock);
    SetEvent(m_hChanged);
}

}  // namespace TestSupport
