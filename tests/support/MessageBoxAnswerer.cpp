#include "support/MessageBoxAnswerer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace TestSupport {

using TestDriver::Event;
using TestDriver::WindowDriver;
using TestDriver::WindowState;

namespace {

const DWORD kPollMs = 10;

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(DWORD timeoutMs)
    : m_Timeout(timeoutMs), m_Reported(0)
{
    m_Driver.Watch();
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    Verify();
}

bool MessageBoxAnswerer::IsMessageBox(HWND window)
{
    return WindowDriver::IsMessageBox(WindowDriver::Read(window));
}

BoxRecord MessageBoxAnswerer::FromState(const WindowState& state)
{
    BoxRecord record;
    record.owner = state.owner;
    record.caption = state.caption;
    record.text = state.BoxText();
    record.icon = state.Icon();
    record.processId = state.processId;
    for (const TestDriver::ControlState& control : state.controls)
        if (lstrcmpiA(control.className.c_str(), "Button") == 0)
            record.buttons.push_back(control.id);
    std::sort(record.buttons.begin(), record.buttons.end());
    return record;
}

BoxRecord MessageBoxAnswerer::Read(HWND window)
{
    return FromState(WindowDriver::Read(window));
}

void MessageBoxAnswerer::Expect(int buttonId)
{
    m_Driver.AnswerNextBox(buttonId);
}

bool MessageBoxAnswerer::WaitForBoxes(size_t count, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (Boxes().size() < count) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

std::vector<BoxRecord> MessageBoxAnswerer::Boxes() const
{
    // A box is recorded when it is answered or closed, as the state the press was made on.
    std::vector<BoxRecord> out;
    for (const Event& event : m_Driver.Events()) {
        if (!event.pressed || !WindowDriver::IsMessageBox(event.state))
            continue;
        BoxRecord record = FromState(event.state);
        record.answer = event.unexpected ? 0 : event.pressed;
        out.push_back(record);
    }
    return out;
}

void MessageBoxAnswerer::Verify()
{
    if (!m_Driver.WaitForAnswers(m_Timeout)) {
        size_t unused = m_Driver.DropPendingAnswers();
        if (unused > 0)
            ADD_FAILURE() << unused << " expected message box(es) never came within " << m_Timeout << " ms";
    }
    std::vector<BoxRecord> boxes = Boxes();
    for (size_t i = m_Reported; i < boxes.size(); ++i)
        if (boxes[i].answer == 0)
            ADD_FAILURE() << "unexpected message box \"" << boxes[i].caption << "\": " << boxes[i].text;
    m_Reported = std::max(m_Reported, boxes.size());
}

}  // namespace TestSupport
