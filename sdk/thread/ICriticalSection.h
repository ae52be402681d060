#pragma once

namespace Corvane { namespace Base { namespace Thread {

// A re-entrant lock. Slot order: Enter, Leave, destructor.
class ICriticalSection {
public:
    virtual void Enter() = 0;
    virtual void Leave() = 0;
    virtual ~ICriticalSection() {}
};

}}}
