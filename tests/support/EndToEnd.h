#pragma once

// What end-to-end tests ask of a transcript, in terms that hold for any
// sample of the windows: the driver reads windows now and then, so a state
// that lasts only a moment may be missing from it, and only a state the
// program is held in (a box left open until a rule answers it) is sure to
// be there.

#include <string>
#include <vector>

#include "driver/WindowDriver.h"

namespace TestSupport {

// The installer's progress dialog (either form) and its controls, by the
// ids of the installer's own resource header; null when not there.
bool IsProgressDialog(const TestDriver::WindowState& state);
const TestDriver::ControlState* StatusControl(const TestDriver::WindowState& state);
const TestDriver::ControlState* PercentControl(const TestDriver::WindowState& state);
const TestDriver::ControlState* PictureControl(const TestDriver::WindowState& state);
const TestDriver::ControlState* ProgressBar(const TestDriver::WindowState& state);

bool IsBox(const TestDriver::WindowState& state, const std::string& caption);
// One state per message box window, in the order the boxes came: the last one read.
std::vector<TestDriver::WindowState> Boxes(const std::vector<TestDriver::Event>& events);
std::vector<TestDriver::WindowState> Boxes(const TestDriver::WindowDriver& driver);
// The status texts of the progress dialog as they were seen, repeats folded.
// The template's empty status (before the first text is set) is left out.
std::vector<std::string> StatusSequence(const std::vector<TestDriver::Event>& events);

}  // namespace TestSupport
