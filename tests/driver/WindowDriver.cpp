#include "driver/WindowDriver.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <set>

namespace TestDriver {

namespace {

const DWORD kPollMs = 10;
const DWORD kShotDelayMs = 300;  // let the window paint before it is captured

std::string ClassOf(HWND window)
{
    char name[128] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// The text the window manager keeps: read without sending a message, so a
// program whose thread is busy neither blocks the driver nor shows up half-read.
std::string TextOf(HWND window)
{
    wchar_t wide[1024];
    int length = InternalGetWindowText(window, wide, 1024);
    if (length <= 0)
        return std::string();
    char text[4096];
    int got = WideCharToMultiByte(932, 0, wide, length, text, sizeof(text), nullptr, nullptr);
    return std::string(text, got > 0 ? got : 0);
}

std::set<DWORD> CollectDescendants(DWORD root)
{
    std::set<DWORD> family;
    family.insert(root);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return family;
    std::vector<std::pair<DWORD, DWORD>> links;  // (process, parent)
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry))
        links.push_back({entry.th32ProcessID, entry.th32ParentProcessID});
    CloseHandle(snapshot);
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& link : links)
            if (family.count(link.second) && !family.count(link.first) && link.first != link.second) {
                family.insert(link.first);
                grew = true;
            }
    }
    return family;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

// What can be read without asking the program: quick, so two of these
// taken one after the other show whether the window changed meanwhile.
void ReadQuick(HWND child, ControlState& control)
{
    control.id = GetDlgCtrlID(child);
    control.className = ClassOf(child);
    control.enabled = IsWindowEnabled(child) != FALSE;
    control.visible = IsWindowVisible(child) != FALSE;
    RECT rect = {};
    GetWindowRect(child, &rect);
    control.width = rect.right - rect.left;
    control.height = rect.bottom - rect.top;
    LONG style = GetWindowLongA(child, GWL_STYLE);
    bool image = lstrcmpiA(control.className.c_str(), "Static") == 0 &&
                 ((style & SS_TYPEMASK) == SS_BITMAP || (style & SS_TYPEMASK) == SS_ICON);
    // A picture's window text is only its resource name.
    control.text = image || lstrcmpiA(control.className.c_str(), PROGRESS_CLASSA) == 0 ? std::string() : TextOf(child);
}

bool SameQuick(const ControlState& a, const ControlState& b)
{
    return a.id == b.id && a.className == b.className && a.enabled == b.enabled && a.visible == b.visible &&
           a.width == b.width && a.height == b.height && a.text == b.text;
}

// What the program is asked for (it answers between its own steps).
void ReadAsked(HWND child, ControlState& control)
{
    std::string className = ClassOf(child);
    if (lstrcmpiA(className.c_str(), PROGRESS_CLASSA) == 0) {
        DWORD_PTR position = 0;
        // Position -2: the program did not answer in time (its thread is busy).
        control.position = SendMessageTimeoutA(child, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 100, &position)
                               ? static_cast<int>(position) : -2;
        return;
    }
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (lstrcmpiA(className.c_str(), "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
        // System icons are shared handles, so they compare across processes.
        HICON icon = nullptr;
        DWORD_PTR result = 0;
        if (SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 100, &result))
            icon = reinterpret_cast<HICON>(result);
        control.icon = SystemIconName(icon);
        // Another process's icon handles are its own: only its presence shows.
        if (icon && control.icon.empty() && IsWindowVisible(child))
            control.icon = "icon";
    }
}

struct Found {
    std::set<DWORD> family;
    std::vector<HWND> windows;
};

BOOL CALLBACK FindWindows(HWND window, LPARAM param)
{
    Found* found = reinterpret_cast<Found*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (found->family.count(pid) && IsWindowVisible(window))
        found->windows.push_back(window);
    return TRUE;
}

bool Matches(const Rule& rule, const WindowState& state)
{
    if (rule.boxesOnly && !WindowDriver::IsMessageBox(state))
        return false;
    if (!rule.caption.empty() && rule.caption != state.caption)
        return false;
    if (rule.text.empty())
        return true;
    for (const ControlState& control : state.controls)
        if (control.text.find(rule.text) != std::string::npos)
            return true;
    return false;
}

bool WriteBitmap(const std::string& path, HDC source, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!memory || !bitmap) {
        if (bitmap) DeleteObject(bitmap);
        if (memory) DeleteDC(memory);
        return false;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + size;
    bool ok = false;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        ok = std::fwrite(&file, sizeof(file), 1, f) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, f) == 1 &&
             std::fwrite(bits, 1, size, f) == size;
        std::fclose(f);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return ok;
}

}  // namespace

std::set<DWORD> Descendants(DWORD root)
{
    return CollectDescendants(root);
}

std::string SystemIconName(HICON icon)
{
    struct Known { LPCSTR id; const char* name; } known[] = {
        {IDI_HAND, "error"}, {IDI_EXCLAMATION, "warning"}, {IDI_ASTERISK, "information"}, {IDI_QUESTION, "question"}};
    for (const Known& k : known)
        if (icon && icon == LoadIconA(nullptr, k.id))
            return k.name;
    return std::string();
}

const ControlState* WindowState::Control(int id) const
{
    for (const ControlState& control : controls)
        if (control.id == id)
            return &control;
    return nullptr;
}

bool WindowState::HasText(const std::string& part) const
{
    if (caption.find(part) != std::string::npos)
        return true;
    for (const ControlState& control : controls)
        if (control.text.find(part) != std::string::npos)
            return true;
    return false;
}

std::string WindowState::BoxText() const
{
    for (const ControlState& control : controls)
        if (lstrcmpiA(control.className.c_str(), "Static") == 0 && !control.text.empty())
            return control.text;
    return std::string();
}

std::string WindowState::Icon() const
{
    for (const ControlState& control : controls)
        if (!control.icon.empty())
            return control.icon;
    return std::string();
}

std::string WindowState::Describe() const
{
    std::string out = "[" + std::to_string(processId) + "] " + className + " \"" + caption + "\"" +
                      (enabled ? "" : " disabled") + "\n";
    for (const ControlState& control : controls) {
        out += "  " + std::to_string(control.id) + " " + control.className;
        if (lstrcmpiA(control.className.c_str(), PROGRESS_CLASSA) == 0)
            out += " pos=" + std::to_string(control.position);
        else
            out += " \"" + control.text + "\"";
        if (lstrcmpiA(control.className.c_str(), "Static") == 0 && control.text.empty())
            out += " " + std::to_string(control.width) + "x" + std::to_string(control.height);
        if (!control.icon.empty())
            out += " icon=" + control.icon;
        if (!control.enabled)
            out += " disabled";
        if (!control.visible)
            out += " hidden";
        out += "\n";
    }
    return out;
}

namespace {

// The image of a process, and whether it lies below the Windows folder.
void DescribeProcess(HANDLE process, ProcessRecord& record)
{
    char path[MAX_PATH * 2] = {};
    DWORD size = sizeof(path);
    if (!QueryFullProcessImageNameA(process, 0, path, &size))
        return;
    record.image.assign(path, size);
    char windows[MAX_PATH] = {};
    UINT length = GetSystemWindowsDirectoryA(windows, sizeof(windows));
    record.system = length > 0 && length < sizeof(windows) && record.image.size() > length &&
                    CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, record.image.c_str(), static_cast<int>(length),
                                   windows, static_cast<int>(length)) == CSTR_EQUAL &&
                    record.image[length] == '\\';
}

// Wine starts programs of its own from the first program that needs them
// (the desktop's explorer.exe, services.exe with its drivers, the shell's
// link processor): they belong to the prefix, outlive the program and serve
// every other program in it, so they are neither waited for nor killed.
bool IsSystemProcess(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return false;
    ProcessRecord record;
    DescribeProcess(process, record);
    CloseHandle(process);
    return record.system;
}

// The family's own programs that still run, the root included.
size_t RunningPrograms(DWORD root)
{
    size_t n = 0;
    for (DWORD pid : Descendants(root))
        if (!IsSystemProcess(pid))
            ++n;
    return n;
}

}  // namespace

WindowDriver::WindowDriver()
    : m_hProcess(nullptr), m_ProcessId(0), m_hThread(nullptr), m_Shots(0), m_FamilyTick(0), m_Rounds(0)
{
    InitializeCriticalSection(&m_Lock);
    m_hStop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

WindowDriver::~WindowDriver()
{
    if (m_hThread) {
        SetEvent(m_hStop);
        WaitForSingleObject(m_hThread, 10000);
        CloseHandle(m_hThread);
    }
    KillFamily();
    for (const auto& p : m_Processes)
        CloseHandle(p.second);
    if (m_hProcess)
        CloseHandle(m_hProcess);
    CloseHandle(m_hStop);
    DeleteCriticalSection(&m_Lock);
}

void WindowDriver::Answer(const std::string& caption, const std::string& text, int button, int times)
{
    EnterCriticalSection(&m_Lock);
    m_Rules.push_back(Rule{caption, text, button, times});
    LeaveCriticalSection(&m_Lock);
}

void WindowDriver::AnswerNextBox(int button)
{
    EnterCriticalSection(&m_Lock);
    m_Rules.push_back(Rule{std::string(), std::string(), button, 1, true});
    LeaveCriticalSection(&m_Lock);
}

size_t WindowDriver::PendingAnswers() const
{
    size_t pending = 0;
    EnterCriticalSection(&m_Lock);
    for (const Rule& rule : m_Rules)
        if (rule.button != 0 && rule.times > 0)
            pending += static_cast<size_t>(rule.times);
    LeaveCriticalSection(&m_Lock);
    return pending;
}

bool WindowDriver::WaitForAnswers(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (PendingAnswers() > 0) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

size_t WindowDriver::DropPendingAnswers()
{
    size_t pending = 0;
    EnterCriticalSection(&m_Lock);
    for (Rule& rule : m_Rules)
        if (rule.button != 0 && rule.times > 0) {
            pending += static_cast<size_t>(rule.times);
            rule.times = 0;
        }
    LeaveCriticalSection(&m_Lock);
    return pending;
}

void WindowDriver::SetScreenshotFolder(const std::string& folder)
{
    EnterCriticalSection(&m_Lock);
    m_ScreenshotFolder = folder;
    LeaveCriticalSection(&m_Lock);
}

bool WindowDriver::Start(const std::string& commandLine, const std::string& currentDirectory)
{
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    m_hProcess = info.hProcess;
    m_ProcessId = info.dwProcessId;
    Watch();
    return true;
}

void WindowDriver::Watch()
{
    if (!m_hThread)
        m_hThread = CreateThread(nullptr, 0, &WindowDriver::WatchThread, this, 0, nullptr);
}

bool WindowDriver::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (!m_hProcess)
        return false;
    DWORD start = GetTickCount();
    auto left = [&]() -> DWORD {
        DWORD spent = GetTickCount() - start;
        return spent < timeoutMs ? timeoutMs - spent : 0;
    };
    bool ended = WaitForSingleObject(m_hProcess, timeoutMs) == WAIT_OBJECT_0;
    // The chain's later instances end before the first; give stragglers the rest of the time.
    while (ended && RunningPrograms(m_ProcessId) > 1 && left() > 0)
        Sleep(kPollMs);
    if (ended && RunningPrograms(m_ProcessId) > 1)
        ended = false;
    // A member whose parent has gone is no longer found through its parent,
    // but the watcher holds every member it saw.
    if (ended) {
        std::vector<HANDLE> seen;
        EnterCriticalSection(&m_Lock);
        for (size_t i = 0; i < m_Processes.size(); ++i)
            if (!m_Records[i].system)
                seen.push_back(m_Processes[i].second);
        LeaveCriticalSection(&m_Lock);
        for (HANDLE process : seen)
            ended = ended && WaitForSingleObject(process, left()) == WAIT_OBJECT_0;
    }
    if (!ended) {
        KillFamily();
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(m_hProcess, &code);
    if (exitCode)
        *exitCode = code;
    // Two more complete rounds: the last states of the family are recorded.
    WaitForRounds(Rounds() + 2, 5000);
    return true;
}

bool WindowDriver::WaitFor(const std::function<bool(const WindowState&)>& match, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (!Find(match).empty())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
}

std::vector<Event> WindowDriver::Events() const
{
    EnterCriticalSection(&m_Lock);
    std::vector<Event> copy = m_Events;
    LeaveCriticalSection(&m_Lock);
    return copy;
}

std::vector<Event> WindowDriver::Find(const std::function<bool(const WindowState&)>& match) const
{
    std::vector<Event> out;
    for (const Event& event : Events())
        if (match(event.state))
            out.push_back(event);
    return out;
}


std::vector<std::pair<DWORD, DWORD>> WindowDriver::ExitCodes() const
{
    std::vector<std::pair<DWORD, DWORD>> out;
    for (const ProcessRecord& record : Processes())
        if (!record.system)
            out.push_back({record.id, record.exitCode});
    return out;
}

std::vector<ProcessRecord> WindowDriver::Processes() const
{
    EnterCriticalSection(&m_Lock);
    std::vector<ProcessRecord> out = m_Records;
    for (size_t i = 0; i < m_Processes.size(); ++i) {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_Processes[i].second, &code);
        out[i].exitCode = code;
    }
    LeaveCriticalSection(&m_Lock);
    return out;
}

unsigned WindowDriver::Rounds() const
{
    EnterCriticalSection(&m_Lock);
    unsigned rounds = m_Rounds;
    LeaveCriticalSection(&m_Lock);
    return rounds;
}

bool WindowDriver::WaitForRounds(unsigned count, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (static_cast<int>(Rounds() - count) < 0) {
        if (!m_hThread || GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

std::vector<Event> WindowDriver::Unexpected() const
{
    std::vector<Event> out;
    for (const Event& event : Events())
        if (event.unexpected)
            out.push_back(event);
    return out;
}

std::string WindowDriver::Transcript() const
{
    std::string out;
    for (const Event& event : Events()) {
        out += event.state.Describe();
        if (event.pressed)
            out += "  -> pressed " + std::to_string(event.pressed) + (event.unexpected ? " (unexpected)" : "") + "\n";
    }
    return out;
}

WindowState WindowDriver::Read(HWND window)
{
    return Read(window, nullptr);
}

WindowState WindowDriver::Read(HWND window, bool* consistent)
{
    WindowState state;
    state.window = window;
    GetWindowThreadProcessId(window, &state.processId);
    state.owner = GetWindow(window, GW_OWNER);
    state.className = ClassOf(window);
    state.caption = TextOf(window);
    state.enabled = IsWindowEnabled(window) != FALSE;
    std::vector<HWND> children;
    EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&children));
    state.controls.resize(children.size());
    for (size_t i = 0; i < children.size(); ++i)
        ReadAsked(children[i], state.controls[i]);
    for (size_t i = 0; i < children.size(); ++i)
        ReadQuick(children[i], state.controls[i]);
    if (consistent) {
        // Controls are read one after another, so one pass may mix an older
        // control with a newer one; two quick passes that agree are one real state.
        *consistent = TextOf(window) == state.caption;
        for (size_t i = 0; i < children.size() && *consistent; ++i) {
            ControlState again;
            ReadQuick(children[i], again);
            *consistent = SameQuick(again, state.controls[i]);
        }
    }
    return state;
}

bool WindowDriver::IsMessageBox(const WindowState& state)
{
    // A box is a dialog of one text (id -1), an optional icon (Wine 1088,
    // Windows 20) and standard buttons; the programs' own dialogs carry
    // controls with ids of their own.
    if (state.className != "#32770")
        return false;
    int buttons = 0;
    for (const ControlState& control : state.controls) {
        int id = control.id & 0xFFFF;
        if (lstrcmpiA(control.className.c_str(), "Button") == 0) {
            if (id < IDOK || id > 11)
                return false;
            ++buttons;
        } else if (lstrcmpiA(control.className.c_str(), "Static") == 0) {
            if (id != 0xFFFF && id != 1088 && id != 20)
                return false;
        } else {
            return false;
        }
    }
    return buttons > 0;
}

DWORD WINAPI WindowDriver::WatchThread(LPVOID self)
{
    WindowDriver* driver = static_cast<WindowDriver*>(self);
    while (WaitForSingleObject(driver->m_hStop, kPollMs) == WAIT_TIMEOUT)
        driver->Poll();
    return 0;
}

void WindowDriver::Poll()
{
    Found found;
    // The process list costs a few milliseconds; it changes seldom.
    if (GetTickCount() - m_FamilyTick > 100 || m_Family.empty()) {
        m_Family = Descendants(m_ProcessId ? m_ProcessId : GetCurrentProcessId());
        m_FamilyTick = GetTickCount();
        EnterCriticalSection(&m_Lock);
        for (DWORD pid : m_Family) {
            bool known = std::any_of(m_Processes.begin(), m_Processes.end(),
                                     [&](const std::pair<DWORD, HANDLE>& p) { return p.first == pid; });
            if (!known && pid != GetCurrentProcessId())
                if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pid)) {
                    m_Processes.push_back({pid, process});
                    ProcessRecord record;
                    record.id = pid;
                    DescribeProcess(process, record);
                    m_Records.push_back(record);
                }
        }
        LeaveCriticalSection(&m_Lock);
    }
    found.family = m_Family;
    EnumWindows(&FindWindows, reinterpret_cast<LPARAM>(&found));

    struct Shot { HWND window; size_t index; std::string caption; };
    std::vector<Shot> shots;
    std::vector<std::pair<HWND, int>> presses;
    EnterCriticalSection(&m_Lock);
    m_Last.erase(std::remove_if(m_Last.begin(), m_Last.end(), [](const Seen& p) { return !IsWindow(p.window); }),
                 m_Last.end());
    m_Pressed.erase(std::remove_if(m_Pressed.begin(), m_Pressed.end(),
                                   [](const std::pair<HWND, size_t>& p) { return !IsWindow(p.first); }),
                    m_Pressed.end());
    LeaveCriticalSection(&m_Lock);

    for (HWND window : found.windows) {
        bool consistent = false;
        WindowState state = Read(window, &consistent);
        if (!consistent)
            continue;
        // Taken down while it was read: a window is hidden before its controls
        // go, so what was read may be half gone. Not a state the program showed.
        if (!IsWindowVisible(window))
            continue;
        EnterCriticalSection(&m_Lock);
        for (ControlState& control : state.controls) {
            if (control.position != -2)
                continue;
            control.position = -1;
            for (auto it = m_Events.rbegin(); it != m_Events.rend(); ++it)
                if (it->state.window == window) {
                    if (const ControlState* known = it->state.Control(control.id))
                        control.position = known->position;
                    break;
                }
        }
        std::string description = state.Describe();
        auto last = std::find_if(m_Last.begin(), m_Last.end(), [&](const Seen& p) { return p.window == window; });
        bool changed = last == m_Last.end() || last->description != description;
        if (last == m_Last.end()) {
            m_Last.push_back(Seen{window, description, 0, false});
            last = m_Last.end() - 1;
        }
        if (changed) {
            last->description = description;
            last->rounds = 0;
            last->pressed = false;
        }
        ++last->rounds;
        bool stable = last->rounds >= 2;
        bool mayPress = !last->pressed;
        if (changed) {
            m_Events.push_back(Event{GetTickCount(), state, 0, false});
            if (!m_ScreenshotFolder.empty())
                shots.push_back(Shot{window, ++m_Shots, state.caption});
        }
        // Answer: the first rule that matches and still has answers left.
        int press = 0;
        bool unexpected = false;
        bool answered = false;
        for (size_t i = 0; i < m_Rules.size() && !press && mayPress; ++i) {
            Rule& rule = m_Rules[i];
            if (rule.times == 0 || !Matches(rule, state))
                continue;
            if (rule.button == 0 ||
                std::find(m_Pressed.begin(), m_Pressed.end(), std::make_pair(window, i)) != m_Pressed.end()) {
                answered = true;  // held open, or already answered
                continue;
            }
            const ControlState* button = state.Control(rule.button);
            if (!button || !button->enabled)
                continue;
            press = rule.button;
            m_Pressed.push_back({window, i});
            if (rule.times > 0)
                --rule.times;
        }
        bool known = std::any_of(m_Pressed.begin(), m_Pressed.end(),
                                 [&](const std::pair<HWND, size_t>& p) { return p.first == window; });
        if (!press && !answered && !known && stable && IsMessageBox(state)) {
            // Nobody expects this box: close it so nothing hangs, and say so.
            for (int id : {IDCANCEL, IDNO, IDOK, IDABORT, IDIGNORE, IDRETRY, IDYES})
                if (!press && state.Control(id))
                    press = id;
            unexpected = true;
            m_Pressed.push_back({window, static_cast<size_t>(-1)});
        }
        if (press) {
            last->pressed = true;
            for (auto it = m_Events.rbegin(); it != m_Events.rend(); ++it)
                if (it->state.window == window) {
                    it->pressed = press;
                    it->unexpected = unexpected;
                    break;
                }
        }
        LeaveCriticalSection(&m_Lock);
        if (press)
            presses.push_back({window, press});
    }
    // Pictures first: a window that is answered goes away.
    if (!shots.empty())
        Sleep(kShotDelayMs);
    for (const Shot& shot : shots)
        Screenshot(shot.window, shot.index, shot.caption);
    for (const auto& p : presses)
        PostMessageA(p.first, WM_COMMAND, MAKEWPARAM(p.second, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(p.first, p.second)));
    EnterCriticalSection(&m_Lock);
    ++m_Rounds;
    LeaveCriticalSection(&m_Lock);
}

void WindowDriver::Screenshot(HWND window, size_t index, const std::string& caption)
{
    std::string folder;
    EnterCriticalSection(&m_Lock);
    folder = m_ScreenshotFolder;
    LeaveCriticalSection(&m_Lock);
    if (!IsWindow(window))
        return;
    RECT rect = {};
    GetWindowRect(window, &rect);
    HDC screen = GetDC(nullptr);
    char name[32];
    std::snprintf(name, sizeof name, "%03u.bmp", static_cast<unsigned>(index));
    WriteBitmap(folder + "\\" + name, screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(nullptr, screen);
    if (FILE* f = std::fopen((folder + "\\shots.txt").c_str(), "ab")) {
        std::fprintf(f, "%s %s\n", name, caption.c_str());
        std::fclose(f);
    }
}

void WindowDriver::KillFamily()
{
    if (!m_ProcessId)
        return;
    for (DWORD pid : Descendants(m_ProcessId)) {
        if (IsSystemProcess(pid))
            continue;
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
            if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process, 1);
                WaitForSingleObject(process, 5000);
            }
            CloseHandle(process);
        }
    }
}

std::string QuoteCommand(const std::string& program, const std::string& arguments)
{
    return "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
}

}  // namespace TestDriver
