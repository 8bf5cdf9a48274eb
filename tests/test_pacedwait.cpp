// The paced wait: how long it lasts by its clock, when it dispatches events, and how it ends
// once the window has closed.

#include <QtTest>

#include "reels/pacedwait.h"
#include "tests/fakes.h"

using namespace ostavel;
using namespace ostavel::testing;

// A clock that moves on by a fixed step each time it is read, and a pump that only counts.
struct TickingClock final : Clock {
    Timer GetTimer() override { return (now += tick) - tick; }
    Timer now{};
    Timer tick{};
};
struct CountingPump final : EventPump {
    explicit CountingPump(TickingClock& clock) : clock(clock) {}
    void DoEvents() override { ++pumps; }
    void WaitForEventsUntil(Timer) override { clock.now += 10ms; }
    TickingClock& clock;
    int pumps = 0;
};

class PacedWaitTest : public QObject {
    Q_OBJECT

private slots:
    void aWaitEndsAtTheFirstReadingThatCoversItsDelay();
    void theFirstReadingDecidesWhetherEventsAreDispatched();
    void eventsDuringTheWaitRunInsideItAndTheWaitEndsAfterThem();
    void closingTheWindowEndsTheWaitAtOnce();
};

// Why: the test is "elapsed >= delay": an exact delay ends it, nothing ends it early, and a
// coarse clock (15.625 ms steps) ends a 10 ms wait at its first step. It sleeps, not polls.
void PacedWaitTest::aWaitEndsAtTheFirstReadingThatCoversItsDelay() {
    VirtualClock clock;
    clock.now = 12345us;
    VirtualPump pump(clock);
    Pacer pacer(clock, pump);
    pacer.PacedWait(700ms);
    QCOMPARE(clock.now, 12345us + 700ms);
    QCOMPARE(pump.sleeps, 1);

    VirtualClock coarse;
    coarse.step = 15625us;
    VirtualPump coarsePump(coarse);
    Pacer coarsePacer(coarse, coarsePump);
    coarsePacer.PacedWait(10ms);
    QCOMPARE(coarse.GetTimer(), 15625us);
    coarsePacer.PacedWait(20ms);
    QCOMPARE(coarse.GetTimer(), 46875us);  // two more steps: one is not 20 ms
}

// Why: captions written just before a wait must be painted however short it is, but a wait
// whose delay has already passed at its first reading ends without dispatching anything.
void PacedWaitTest::theFirstReadingDecidesWhetherEventsAreDispatched() {
    TickingClock still;
    CountingPump pump(still);
    Pacer(still, pump).PacedWait(10ms);
    QCOMPARE(pump.pumps, 1);

    TickingClock jumping;
    jumping.tick = 10ms;
    CountingPump idle(jumping);
    Pacer(jumping, idle).PacedWait(10ms);
    QCOMPARE(idle.pumps, 0);
}

// Why: a press during a wait runs its handler inside the wait; the wait then ends at its next
// reading, however long the handler took.
void PacedWaitTest::eventsDuringTheWaitRunInsideItAndTheWaitEndsAfterThem() {
    VirtualClock clock;
    VirtualPump pump(clock);
    Pacer pacer(clock, pump);
    pump.at(30ms, [&] { clock.now += 2s; });
    pacer.PacedWait(100ms);
    QCOMPARE(clock.now, Timer(2030ms));
}

// Why: after the close no wait may sleep out its delay, not even one whose close arrives
// among the pending events it dispatches first.
void PacedWaitTest::closingTheWindowEndsTheWaitAtOnce() {
    for (const Timer closeAt : {Timer(0ms), Timer(200ms)}) {
        VirtualClock clock;
        VirtualPump pump(clock);
        Pacer pacer(clock, pump);
        pump.at(closeAt, [&] { pacer.stop(); });
        pacer.PacedWait(1s);
        QCOMPARE(clock.now, closeAt);
        pacer.PacedWait(1s);
        QCOMPARE(clock.now, closeAt);
    }
}

QTEST_GUILESS_MAIN(PacedWaitTest)
#include "test_pacedwait.moc"
