// The paced wait: how long it lasts by its clock, when it dispatches events, and how it ends
// once the window has closed.

#include <QtTest>

#include "reels/pacedwait.h"
#include "tests/fakes.h"

using namespace ostavel;
using namespace ostavel::testing;

// A clock that moves by a fixed amount each time it is read, and a pump that only counts.
class TickingClock final : public Clock {
public:
    Timer GetTimer() override {
        const Timer reading = now;
        now += tick;
        return reading;
    }
    Timer now{};
    Timer tick{};
};

// Counts its dispatches; each of its sleeps moves the clock on by a fixed time.
class SleepingPump final : public EventPump {
public:
    SleepingPump(TickingClock& clock, Timer sleep) : clock_(clock), sleep_(sleep) {}
    void DoEvents() override { ++pumps; }
    void WaitForEventsUntil(Timer) override { clock_.now += sleep_; }
    int pumps = 0;

private:
    TickingClock& clock_;
    Timer sleep_;
};

class PacedWaitTest : public QObject {
    Q_OBJECT

private slots:
    void aWaitLastsItsDelayExactly_data();
    void aWaitLastsItsDelayExactly();
    void aCoarseClockEndsTheWaitAtTheFirstStepPastTheDelay();
    void aClockThatHasNotMovedPumpsAtLeastOnce();
    void aFirstReadingAWholeDelayLaterReturnsWithoutPumping();
    void theWaitSleepsInsteadOfSpinning();
    void eventsDuringTheWaitRunInsideItAndTheWaitEndsAfterThem();
    void aStoppedPacerReturnsAtOnce();
    void stoppingDuringAWaitEndsIt();
};

void PacedWaitTest::aWaitLastsItsDelayExactly_data() {
    QTest::addColumn<int>("milliseconds");
    for (int ms : {10, 50, 100, 300, 500, 700, 800, 1000}) {
        QTest::addRow("%d ms", ms) << ms;
    }
}

// Why: the strict "elapsed >= delay" test: equal ends it, and it never ends early.
void PacedWaitTest::aWaitLastsItsDelayExactly() {
    QFETCH(int, milliseconds);
    VirtualClock clock;
    clock.now = 12345us;
    VirtualPump pump(clock);
    Pacer pacer(clock, pump);
    pacer.PacedWait(std::chrono::milliseconds(milliseconds));
    QCOMPARE(clock.now - 12345us, std::chrono::milliseconds(milliseconds));
}

// Why: with a 15.625 ms clock a 10 ms wait can only end when the clock has stepped once.
void PacedWaitTest::aCoarseClockEndsTheWaitAtTheFirstStepPastTheDelay() {
    VirtualClock clock;
    clock.step = 15625us;
    VirtualPump pump(clock);
    Pacer pacer(clock, pump);
    pacer.PacedWait(10ms);
    QCOMPARE(clock.GetTimer(), 15625us);
    pacer.PacedWait(20ms);
    QCOMPARE(clock.GetTimer(), 46875us);  // 15.625 + 31.25: two steps cover 20 ms
}

// Why: captions written just before a wait must be painted, however short it is.
void PacedWaitTest::aClockThatHasNotMovedPumpsAtLeastOnce() {
    TickingClock clock;
    SleepingPump pump(clock, 10ms);
    Pacer pacer(clock, pump);
    pacer.PacedWait(10ms);
    QCOMPARE(pump.pumps, 1);
}

void PacedWaitTest::aFirstReadingAWholeDelayLaterReturnsWithoutPumping() {
    TickingClock clock;
    clock.tick = 10ms;
    SleepingPump pump(clock, 10ms);
    Pacer pacer(clock, pump);
    pacer.PacedWait(10ms);
    QCOMPARE(pump.pumps, 0);
}

// Why: a wait with nothing to dispatch sleeps once, until its deadline, instead of polling.
void PacedWaitTest::theWaitSleepsInsteadOfSpinning() {
    VirtualClock clock;
    VirtualPump pump(clock);
    Pacer pacer(clock, pump);
    pacer.PacedWait(1s);
    QCOMPARE(pump.pumps, 1);
    QCOMPARE(pump.sleeps, 1);
}

// Why: a press during a wait runs its handler inside the wait; the wait then ends at its next
// reading, however long the handler took.
void PacedWaitTest::eventsDuringTheWaitRunInsideItAndTheWaitEndsAfterThem() {
    VirtualClock clock;
    VirtualPump pump(clock);
    Pacer pacer(clock, pump);
    Timer ranAt{-1};
    pump.at(30ms, [&] {
        ranAt = clock.now;
        clock.now += 2s;  // a nested forecast
    });
    pacer.PacedWait(100ms);
    QCOMPARE(ranAt, Timer(30ms));
    QCOMPARE(clock.now, Timer(2030ms));
}

void PacedWaitTest::aStoppedPacerReturnsAtOnce() {
    VirtualClock clock;
    VirtualPump pump(clock);
    Pacer pacer(clock, pump);
    pacer.stop();
    pacer.PacedWait(1s);
    QCOMPARE(clock.now, Timer::zero());
    QCOMPARE(pump.pumps + pump.sleeps, 0);
}

// Why: closing the window during a wait must not leave the wait running out its delay.
void PacedWaitTest::stoppingDuringAWaitEndsIt() {
    VirtualClock clock;
    VirtualPump pump(clock);
    Pacer pacer(clock, pump);
    pump.at(200ms, [&] { pacer.stop(); });
    pacer.PacedWait(1s);
    QCOMPARE(clock.now, Timer(200ms));
    QVERIFY(pacer.stopped());
    // Closed while pending events are dispatched: the wait does not go to sleep after them.
    VirtualClock other;
    VirtualPump otherPump(other);
    Pacer otherPacer(other, otherPump);
    otherPump.at(0ms, [&] { otherPacer.stop(); });
    otherPacer.PacedWait(1s);
    QCOMPARE(other.now, Timer::zero());
    QCOMPARE(otherPump.sleeps, 0);
}

QTEST_GUILESS_MAIN(PacedWaitTest)
#include "test_pacedwait.moc"
