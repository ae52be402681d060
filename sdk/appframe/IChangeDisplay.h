#pragma once

namespace Corvane { namespace Base { namespace AppFrame {

// A display-mode changer, in slot order. Depth 0 means the desktop's mode.
class IChangeDisplay {
public:
    virtual bool ChangeDisplay(int width, int height, int depth) = 0;
    virtual bool IsModeAvailable(int width, int height, int depth) = 0;
    virtual bool Reset() = 0;
    virtual bool IsChanged() = 0;
    virtual int GetKind() = 0;
    virtual ~IChangeDisplay() {}
};

}}}
