#pragma once

#include <string>
#include <vector>

namespace TestSupport {

// Records every DebugPrint report made while it lives (any thread).
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    std::vector<std::string> Reports() const;
    // Number of reports that contain the text.
    int Count(const std::string& text) const;
    void Clear();

private:
    static void Sink(const char* text, void* context);
    struct State;
    State* m_pState;
};

}  // namespace TestSupport
