// Synchronisation objects on the system's own handles: a critical section and
// an event that others can wait on together with other handles (the event's
// Handle goes into WaitForMultipleObjects).
#pragma once

#include <cstdint>

enum class TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

constexpr uint32_t INFINITE_WAIT = 0xFFFFFFFFu;

class TCriticalSection {
    alignas(8) unsigned char FSection[32];  // a CRITICAL_SECTION, kept opaque here

public:
    TCriticalSection();
    ~TCriticalSection();
    TCriticalSection(const TCriticalSection&) = delete;
    TCriticalSection& operator=(const TCriticalSection&) = delete;

    void Enter();
    void Leave();
    bool TryEnter();
    void Acquire() { Enter(); }
    void Release() { Leave(); }
};

// Enters in its constructor, leaves in its destructor.
class TCriticalSectionLock {
    TCriticalSection& FSection;

public:
    explicit TCriticalSectionLock(TCriticalSection& Section) : FSection(Section) { FSection.Enter(); }
    ~TCriticalSectionLock() { FSection.Leave(); }
    TCriticalSectionLock(const TCriticalSectionLock&) = delete;
    TCriticalSectionLock& operator=(const TCriticalSectionLock&) = delete;
};

class TEvent {
    void* FHandle;

public:
    // An unnamed event; a failure to make one raises EOSError.
    TEvent(bool ManualReset, bool InitialState);
    ~TEvent();
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    void SetEvent();
    void ResetEvent();
    // Without waiting when Timeout is 0.
    TWaitResult WaitFor(uint32_t Timeout = INFINITE_WAIT);
    bool IsSet() { return WaitFor(0) == TWaitResult::wrSignaled; }
    void* Handle() const { return FHandle; }
};
