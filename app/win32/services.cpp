#include "app/win32/services.h"

#include <timeapi.h>

#include <cstdlib>

namespace ostavel::win32 {

namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x00000002;
#endif
constexpr BOOL manualReset = TRUE;

}  // namespace

std::wstring widen(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

PerformanceCounterClock::PerformanceCounterClock() {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&origin_);
}

Timer PerformanceCounterClock::GetTimer() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const long long ticks = now.QuadPart - origin_.QuadPart;
    const long long perSecond = frequency_.QuadPart;
    // Whole seconds and the remainder apart, so the product cannot overflow in a long run.
    return std::chrono::seconds(ticks / perSecond) +
           Timer((ticks % perSecond) * 1'000'000'000 / perSecond);
}

MessagePump::MessagePump(Clock& clock) : clock_(clock) {
    timer_.reset(CreateWaitableTimerExW(
        nullptr, nullptr,
        CREATE_WAITABLE_TIMER_MANUAL_RESET | CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
        TIMER_ALL_ACCESS));
    if (!timer_) {
        // Before Windows 10 1803 there are no high-resolution timers: a plain one, with the
        // system's timer resolution raised to a millisecond while the program runs.
        timer_.reset(CreateWaitableTimerW(nullptr, manualReset, nullptr));
        raisedTimerResolution_ = timeBeginPeriod(1) == TIMERR_NOERROR;
    }
}

MessagePump::~MessagePump() {
    if (raisedTimerResolution_) {
        timeEndPeriod(1);
    }
}

void MessagePump::dispatch(MSG& message) {
    if (filter_ != nullptr && filter_->preTranslate(message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void MessagePump::DoEvents() {
    MSG message;
    while (!quitting_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Whoever posted it, the forecasts running end now rather than spin through their
            // waits on a pump that no longer sleeps; the event loop gets the message again,
            // which a nested pump must not swallow.
            quitting_ = true;
            if (filter_ != nullptr) {
                filter_->quitting();
            }
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatch(message);
    }
}

void MessagePump::WaitForEventsUntil(Timer deadline) {
    if (quitting_) {
        return;
    }
    const Timer interval = wakeUp_.interval(clock_.GetTimer(), deadline);
    if (interval <= Timer::zero()) {
        WakeUpTimer::finish(clock_, deadline);
        return;
    }
    // Relative due times are negative, in units of 100 ns.
    LARGE_INTEGER due;
    due.QuadPart = -((interval.count() + 99) / 100);
    HANDLE timer = timer_.get();
    if (timer == nullptr || !SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
        return;
    }
    // Left set when a message comes first: the next wait sets it afresh, which clears any
    // signal it has meanwhile, and a call fewer per wait is a round trip fewer to Wine's server.
    const DWORD woke =
        MsgWaitForMultipleObjectsEx(1, &timer, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) {
        wakeUp_.woke(clock_.GetTimer());
    } else if (woke == WAIT_OBJECT_0 + 1) {
        DoEvents();
    }
}

int MessagePump::run() {
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        dispatch(message);
    }
    // -1: the queue failed, and message holds nothing.
    return got == 0 ? static_cast<int>(message.wParam) : EXIT_FAILURE;
}

void MessageBeeper::Beep() {
    MessageBeep(MB_OK);
}

}  // namespace ostavel::win32
