#pragma once

namespace Corvane { namespace Base { namespace Thread {

// COM start-up counted per thread: only a thread's first InitializeCom calls
// CoInitialize, only its last matching UninitializeCom calls CoUninitialize.
// False when CoInitialize fails (the thread is in another apartment mode, for
// example); the caller then skips its COM work and does not uninitialize.
bool InitializeCom();
// Does nothing on a thread without a successful InitializeCom.
void UninitializeCom();

}}}
