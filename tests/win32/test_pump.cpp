// The paced wait on Windows' own primitives: the message queue, a high-resolution waitable timer
// and the performance counter. Run under Wine by ctest; prints "N passed, M failed".
#include <windows.h>

#include <thread>
#include <vector>

#include "app/win32/services.h"
#include "reels/pacedwait.h"
#include "tests/win32/check.h"

namespace {

using namespace ostavel;
using namespace std::chrono_literals;
using testing::check;

const auto ms = [](Timer t) { return std::chrono::duration<double, std::milli>(t).count(); };

Timer threadTime() {  // user and kernel time of this thread
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](FILETIME t) {
        return (LONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime;
    };
    return Timer((ticks(kernel) + ticks(user)) * 100);
}

// The pump and the paced wait, taking the thread's messages as a window of the test's own would:
// it notes when WM_APP is taken, takes long over WM_APP + 1, and closes on WM_CLOSE as the
// program's window does: the waits stop, the event loop is to end.
struct Rig final : win32::MessageFilter {
    win32::PerformanceCounterClock clock;
    win32::MessagePump pump{clock};
    Pacer pacer{clock, pump};
    std::vector<Timer> dispatched;
    const DWORD thread = GetCurrentThreadId();

    Rig() { pump.setFilter(this); }
    bool preTranslate(MSG& message) override {
        if (message.message == WM_APP) {
            dispatched.push_back(clock.GetTimer());
        } else if (message.message == WM_APP + 1) {
            Sleep(60);
        } else if (message.message == WM_CLOSE) {
            pacer.stop();
            PostQuitMessage(0);
        }
        return true;
    }
    void quitting() override {}
    // Waits delay while another thread posts message after a while, as input arrives; gives
    // back how long the wait lasted and the processor time it took.
    std::pair<Timer, Timer> wait(Timer delay, UINT message = 0, Timer after = {}) {
        std::jthread poster([&] {
            std::this_thread::sleep_for(after);
            if (message != 0) {
                PostThreadMessageW(thread, message, 0, 0);
            }
        });
        const Timer start = clock.GetTimer(), cpu = threadTime();
        pacer.PacedWait(delay);
        return {clock.GetTimer() - start, threadTime() - cpu};
    }
};

}  // namespace

int wmain() {
    // Wine starts its own services beside the first program of a prefix; let them settle.
    Sleep(1000);
    // Why: the reels' pace is their waits; none may end before its delay, and each must sleep
    // meanwhile rather than spin.
    for (const Timer delay : {Timer(10ms), Timer(50ms), Timer(300ms)}) {
        Rig rig;
        Timer shortest = Timer::max(), cpu{};
        for (int i = 0; i < 7; ++i) {
            const auto [lasted, used] = rig.wait(delay);
            shortest = std::min(shortest, lasted);
            cpu += used;
        }
        check(shortest >= delay, "a wait lasts at least its delay (ms)", ms(shortest));
        check(cpu < 7 * delay / 4, "it sleeps: processor time below a quarter (ms)", ms(cpu));
    }

    // Why: a message that arrives during a wait (a button press, a repaint) is dispatched at
    // once, not when the wait ends.
    Rig input;
    input.wait(200ms, WM_APP, 30ms);
    check(input.dispatched.size() == 1 && ms(input.dispatched[0]) < 60,
          "a message is dispatched as it arrives (ms)",
          input.dispatched.empty() ? -1 : ms(input.dispatched[0]));

    // Why: a wait that a message interrupted and the clock then ended leaves its timer set; that
    // timer must not wake the next wait before its time, nor teach a latency of zero that would
    // take the lead away from the waits after it.
    Rig stale;
    stale.wait(50ms, WM_APP + 1, 20ms);
    const Timer start = stale.clock.GetTimer();
    stale.pump.WaitForEventsUntil(start + 50ms);
    check(stale.clock.GetTimer() - start >= 48ms, "the next sleep lasts to its deadline (ms)",
          ms(stale.clock.GetTimer() - start));
    WakeUpTimer timer;
    for (int i = 0; i < 8; ++i) {
        timer.woke(timer.interval(0ms, 10ms) + 300us);
    }
    timer.interval(0ms, 10ms);
    timer.woke(1ms);
    check(timer.interval(0ms, 10ms) == 10ms - 300us,
          "an early wake-up teaches no latency (lead kept, ms)",
          ms(10ms - timer.interval(0ms, 10ms)));

    // Why: closing the window mid-forecast must end the waiting forecast at once and then end
    // the event loop with status 0, though the quit message was taken by the nested pump.
    Rig closing;
    const Timer lasted = closing.wait(2s, WM_CLOSE, 50ms).first;
    check(lasted < 500ms, "a close ends the wait (ms)", ms(lasted));
    const Timer closed = closing.clock.GetTimer();
    const int status = closing.pump.run();
    check(status == 0 && closing.clock.GetTimer() - closed < 100ms,
          "the event loop then ends at once, status 0", status);
    return testing::tally();
}
