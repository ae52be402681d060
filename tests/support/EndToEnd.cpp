#include "support/EndToEnd.h"

#include "installer/resource.h"

namespace TestSupport {

using TestDriver::ControlState;
using TestDriver::Event;
using TestDriver::WindowDriver;
using TestDriver::WindowState;

bool IsProgressDialog(const WindowState& state)
{
    return state.className == "#32770" && state.Control(IDC_PROGRESS_BAR) != nullptr;
}

const ControlState* StatusControl(const WindowState& state) { return state.Control(IDC_STATUS); }
const ControlState* PercentControl(const WindowState& state) { return state.Control(IDC_PERCENT); }
const ControlState* PictureControl(const WindowState& state) { return state.Control(IDC_PICTURE); }
const ControlState* ProgressBar(const WindowState& state) { return state.Control(IDC_PROGRESS_BAR); }

bool IsBox(const WindowState& state, const std::string& caption)
{
    return WindowDriver::IsMessageBox(state) && state.caption == caption;
}

std::vector<WindowState> Boxes(const std::vector<Event>& events)
{
    std::vector<WindowState> out;
    for (const Event& e : events) {
        if (!WindowDriver::IsMessageBox(e.state))
            continue;
        bool known = false;
        for (WindowState& box : out)
            if (box.window == e.state.window) {
                box = e.state;
                known = true;
            }
        if (!known)
            out.push_back(e.state);
    }
    return out;
}

std::vector<WindowState> Boxes(const WindowDriver& driver)
{
    return Boxes(driver.Events());
}

std::vector<std::string> StatusSequence(const std::vector<Event>& events)
{
    std::vector<std::string> out;
    for (const Event& e : events) {
        if (!IsProgressDialog(e.state))
            continue;
        const ControlState* status = StatusControl(e.state);
        if (status && !status->text.empty() && (out.empty() || out.back() != status->text))
            out.push_back(status->text);
    }
    return out;
}

}  // namespace TestSupport
