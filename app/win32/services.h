#pragma once

// The core's platform services on Windows' own primitives: the performance counter for the
// clock, the thread's message queue for the event pump, the user's default sound for the beep.

#include <windows.h>

#include <string>
#include <string_view>

#include "app/win32/handles.h"
#include "runtime/beeper.h"
#include "runtime/clock.h"
#include "runtime/eventpump.h"
#include "runtime/wakeup.h"

namespace ostavel::win32 {

// UTF-8, as the core writes it, in the wide characters of the W API.
std::wstring widen(std::string_view text);

// The high-resolution performance counter: monotonic, and finer than a microsecond.
class PerformanceCounterClock final : public Clock {
public:
    PerformanceCounterClock();
    Timer GetTimer() override;

private:
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER origin_{};
};

// Gives a window the first look at each message before it is translated and dispatched, for
// the keyboard handling of its controls (Tab, Space, Enter). Returns true when it handled it.
class MessageFilter {
public:
    virtual ~MessageFilter() = default;
    virtual bool preTranslate(MSG& message) = 0;
    // The event loop is to end (WM_QUIT), whoever asked: what runs must end, at once.
    virtual void quitting() = 0;
};

// The message queue of the thread that owns the window. Waits sleep in
// MsgWaitForMultipleObjectsEx on a high-resolution waitable timer, so the thread wakes for the
// next message or at the deadline. The timer is a manual-reset one, set afresh for each wait:
// setting it clears a signal left from a wait that a message ended first, where a
// synchronisation timer would keep it, fired unobserved, and wake the next wait at once.
class MessagePump final : public EventPump {
public:
    explicit MessagePump(Clock& clock);
    ~MessagePump() override;
    MessagePump(const MessagePump&) = delete;
    MessagePump& operator=(const MessagePump&) = delete;

    void setFilter(MessageFilter* filter) { filter_ = filter; }

    void DoEvents() override;
    void WaitForEventsUntil(Timer deadline) override;

    // The event loop: dispatches messages until WM_QUIT, and gives back its exit code; a
    // failure of the message queue itself ends it with EXIT_FAILURE.
    int run();

private:
    void dispatch(MSG& message);

    Clock& clock_;
    MessageFilter* filter_ = nullptr;
    KernelHandle timer_;
    WakeUpTimer wakeUp_;
    bool raisedTimerResolution_ = false;
    bool quitting_ = false;  // WM_QUIT taken by a nested pump, and posted again for run()
};

// MessageBeep(MB_OK): the user's default sound, or whatever the system does for it.
class MessageBeeper final : public Beeper {
public:
    void Beep() override;
};

}  // namespace ostavel::win32
