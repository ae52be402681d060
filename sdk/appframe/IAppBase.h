#pragma once

#include <windows.h>

namespace Corvane { namespace Base {
namespace Timer { class CIntervalTimer; }
namespace AppFrame {

class CWindow;
class CWindowInfo;

// The application object's interface, in slot order.
class IAppBase {
public:
    virtual void MessageLoop() = 0;
    virtual bool Run() = 0;
    virtual void PostClose() = 0;
    virtual void Close() = 0;
    virtual bool Step() = 0;
    virtual void RequestStop() = 0;
    virtual CWindow* GetWindow() = 0;
    virtual HWND GetHWnd() = 0;
    virtual Timer::CIntervalTimer* GetIntervalTimer() = 0;
    virtual ~IAppBase() {}
    virtual void SetStopAllOnClose(bool stopAll) = 0;
    virtual bool GetStopAllOnClose() = 0;
    virtual void OnPreCreateWindow() = 0;
    virtual void OnSetupWindowInfo(CWindowInfo& info) = 0;
    virtual void OnExitMessageLoop() = 0;
    virtual bool OnCloseQuery() = 0;
    virtual void PumpMessages() = 0;
    virtual void CreateWindowObject() = 0;
    virtual void DeleteWindowObject() = 0;
};

}}}
