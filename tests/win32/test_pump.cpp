// The paced wait on Windows' own primitives: the message queue, a high-resolution waitable timer
// and the performance counter. Run under Wine by ctest; prints "N passed, M failed".
#include <windows.h>

#include <algorithm>
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

// The pump and the paced wait, and a window of the test's own that notes when its messages are
// dispatched, takes long over WM_APP + 1, and closes as the program's window does: the waits
// stop, the event loop is to end.
struct Rig {
    win32::PerformanceCounterClock clock;
    win32::MessagePump pump{clock};
    Pacer pacer{clock, pump};
    HWND window = nullptr;
    std::vector<Timer> dispatched;

    Rig() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = L"OstavelPumpTest";
        RegisterClassW(&windowClass);
        window = CreateWindowW(L"OstavelPumpTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               nullptr, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
        auto* rig = reinterpret_cast<Rig*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (rig != nullptr && message == WM_APP) {
            rig->dispatched.push_back(rig->clock.GetTimer());
        } else if (message == WM_APP + 1) {
            Sleep(60);
        } else if (rig != nullptr && message == WM_DESTROY) {
            rig->pacer.stop();
            PostQuitMessage(0);
        }
        return DefWindowProcW(window, message, w, l);
    }
    // Waits delay while another thread posts message after a while, as input arrives; gives
    // back how long the wait lasted and the processor time it took.
    std::pair<Timer, Timer> wait(Timer delay, UINT message = 0, Timer after = {}) {
        std::jthread poster([&] {
            std::this_thread::sleep_for(after);
            if (message != 0) {
                PostMessageW(window, message, 0, 0);
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
    // Why: the reels' pace is their waits; each must last its delay, a millisecond or two longer
    // at most (the median of seven, since a shared machine may delay any one), and sleep
    // meanwhile rather than spin.
    for (const Timer delay : {Timer(10ms), Timer(50ms), Timer(300ms)}) {
        Rig rig;
        std::vector<Timer> lasted;
        Timer cpu{};
        for (int i = 0; i < 7; ++i) {
            const auto [length, used] = rig.wait(delay);
            lasted.push_back(length);
            cpu += used;
        }
        std::sort(lasted.begin(), lasted.end());
        check(lasted[0] >= delay, "a wait lasts at least its delay (ms)", ms(lasted[0]));
        check(lasted[3] < delay + 2ms, "it ends within 2 ms of it (median, ms)", ms(lasted[3]));
        check(cpu < 7 * delay / 4, "it sleeps: processor time below a quarter (ms)", ms(cpu));
    }

    // Why: a message that arrives during a wait (a button press, a repaint) is dispatched at
    // once, not when the wait ends.
    {
        Rig rig;
        rig.wait(200ms, WM_APP, 30ms);
        check(rig.dispatched.size() == 1 && ms(rig.dispatched[0]) < 60,
              "a message is dispatched as it arrives (ms)",
              rig.dispatched.empty() ? -1 : ms(rig.dispatched[0]));
    }

    // Why: a wait that a message interrupted and the clock then ended leaves its timer set; that
    // timer must not wake the next wait before its time, nor teach a latency of zero that would
    // take the lead away from the waits after it.
    {
        Rig rig;
        rig.wait(50ms, WM_APP + 1, 20ms);
        const Timer start = rig.clock.GetTimer();
        rig.pump.WaitForEventsUntil(start + 50ms);
        check(rig.clock.GetTimer() - start >= 48ms, "the next sleep lasts to its deadline (ms)",
              ms(rig.clock.GetTimer() - start));
        WakeUpTimer timer;
        for (int i = 0; i < 8; ++i) {
            timer.interval(0ms, 10ms);
            timer.woke(10ms + 300us);
        }
        timer.interval(0ms, 10ms);
        timer.woke(1ms);
        check(timer.interval(0ms, 10ms) == 10ms - 300us,
              "an early wake-up teaches no latency (lead kept, ms)",
              ms(10ms - timer.interval(0ms, 10ms)));
    }

    // Why: closing the window mid-forecast must end the waiting forecast at once and then end
    // the event loop with status 0, though the quit message was taken by the nested pump.
    {
        Rig rig;
        const auto [lasted, cpu] = rig.wait(2s, WM_CLOSE, 50ms);
        check(lasted < 500ms, "a close ends the wait (ms)", ms(lasted));
        const Timer start = rig.clock.GetTimer();
        const int status = rig.pump.run();
        check(status == 0 && rig.clock.GetTimer() - start < 100ms,
              "the event loop then ends at once, status 0", status);
    }

    return testing::tally();
}
