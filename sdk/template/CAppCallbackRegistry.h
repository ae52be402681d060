#pragma once

#include <list>

#include "template/function_callback.h"

namespace Corvane { namespace Base { namespace Template {

// Start-up and shut-down callbacks of the SDK's singletons, each list run
// once by the start-up object. The lists are used only while singletons are
// built on the main thread, so they take no lock.
class CAppCallbackRegistry {
public:
    CAppCallbackRegistry();
    CAppCallbackRegistry(const CAppCallbackRegistry&) = delete;
    CAppCallbackRegistry& operator=(const CAppCallbackRegistry&) = delete;
    virtual ~CAppCallbackRegistry();

    // Takes over the callback; null is ignored.
    void AddStartupCallback(function_callback* callback);
    void AddShutdownCallback(function_callback* callback);
    // Invokes every entry in registration order, then empties the list.
    void RunStartupCallbacks();
    void RunShutdownCallbacks();

private:
    static void Run(std::list<function_callback_obj<void>>& callbacks);

    std::list<function_callback_obj<void>> m_StartupCallbacks;
    std::list<function_callback_obj<void>> m_ShutdownCallbacks;
};

// Singleton accessor; null once the registry has been destroyed at exit.
CAppCallbackRegistry* GetAppCallbackRegistry();

}}}
