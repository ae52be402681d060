#pragma once

#include "appframe/IChangeDisplay.h"

namespace Corvane { namespace Base { namespace AppFrame {

// Changes the display mode with ChangeDisplaySettingsA; restores it when
// destroyed while a change is in effect.
class CChangeDisplayWin32API : public IChangeDisplay {
public:
    CChangeDisplayWin32API();
    CChangeDisplayWin32API(const CChangeDisplayWin32API&) = delete;
    CChangeDisplayWin32API& operator=(const CChangeDisplayWin32API&) = delete;

    bool ChangeDisplay(int width, int height, int depth) override;
    bool IsModeAvailable(int width, int height, int depth) override;
    bool Reset() override;
    bool IsChanged() override;
    int GetKind() override;
    ~CChangeDisplayWin32API() override;

private:
    bool m_bChanged;  // from a change attempt until a successful Reset
};

}}}
