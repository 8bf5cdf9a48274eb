// The forecasting core: the runtime services every draw relies on, the paced wait, the reels,
// the remarks and the four forecasts, each caption write and beep in order and on time.

#include <QtTest>
#include <thread>

#include "runtime/wakeup.h"
#include "tests/fakes.h"

using namespace ostavel;
using namespace ostavel::testing;

namespace {

// Expands a step table into the timeline it must cause, one "<ns> <event>" a line. "spin k"
// is reel routine k's frames, each writing positions k to 6 ("#" for a number of the range,
// blank beyond the shown count); "pause ms" a paced wait; any other step happens as written
// ("L7=~remark" a waiting remark, "L7=~closing" the closing one). A last line says the spins
// showed every number of the game's range, which an evenly spread stream of some hundred draws
// does.
QStringList expand(const QString& steps, const ExpectedGame& game) {
    const int frames[] = {31, 21, 11, 7, 4, 6};
    const Timer delays[] = {10ms, 50ms, 100ms, 300ms, 500ms, 700ms};
    QStringList timeline;
    Timer now{};
    for (const QString& step : steps.split(" | ")) {
        const int arg = step.section(' ', 1).toInt();
        if (step.startsWith("spin")) {
            for (int frame = 0; frame < frames[arg - 1]; ++frame, now += delays[arg - 1]) {
                for (int p = arg; p <= 6; ++p) {
                    const QString shown = p <= game.count ? "#" : "";
                    timeline << QStringLiteral("%1 L%2=").arg(now.count()).arg(p) + shown;
                }
            }
        } else if (step.startsWith("pause")) {
            now += std::chrono::milliseconds(arg);
        } else {
            timeline << QString::number(now.count()) + " " + step;
        }
    }
    return timeline << QStringLiteral("spun %1 numbers").arg(game.highest - game.lowest + 1);
}

// The recorded timeline in the same terms: where a spin is expected, a number of the range in
// plain decimal digits reads "#"; a remark of the pickers reads "~remark" or "~closing".
QStringList timelineOf(const Rig& rig, const QStringList& expectedTimeline,
                       const ExpectedGame& game) {
    QStringList timeline;
    QSet<int> spun;  // the numbers the spins showed
    for (const Event& e : rig.recorder.events) {
        QString what = QString::fromStdString(e.what), text = what.mid(3);
        const int value = text.toInt();
        if (expectedTimeline.value(timeline.size()).endsWith("=#") &&
            text == QString::number(value) && value >= game.lowest && value <= game.highest) {
            what = what.left(3) + "#";
            spun << value;
        } else if (expected["waiting"].toArray().contains(text)) {
            what = what.left(3) + "~remark";
        } else if (expected["closing"].toArray().contains(text)) {
            what = what.left(3) + "~closing";
        }
        timeline << QString::number(e.time.count()) + " " + what;
    }
    return timeline << QStringLiteral("spun %1 numbers").arg(spun.size());
}

}  // namespace

class CoreTest : public QObject {
    Q_OBJECT

private slots:
    // Why: a mapping that rounds (or, in single precision, loses the low bits of the product)
    // puts some values on the wrong number, past the range or unevenly. So every one of the 2^24
    // values RandomNext can give, 0 to the largest below 1, is mapped in each range in use (the
    // remark pickers', the digits', Mini Loto's, Loto 6's): all within range, counts differ by one
    // at most.
    void everyRangeInUseIsExactAndUniform() {
        ScriptedRandom random;  // its stream gives each of them once in 2^24 draws
        for (const auto& [upperbound, lowerbound] : {std::pair{5, 0}, {9, 0}, {31, 1}, {43, 1}}) {
            std::vector<int> counts(static_cast<std::size_t>(upperbound - lowerbound + 1));
            for (int i = 0; i < 1 << 24; ++i) {
                const int value = RandomInRange(random, upperbound, lowerbound);
                QVERIFY(value >= lowerbound && value <= upperbound);
                ++counts[static_cast<std::size_t>(value - lowerbound)];
            }
            QVERIFY2(std::ranges::max(counts) - std::ranges::min(counts) <= 1,
                     qPrintable(QString::number(upperbound)));
        }
    }

    // Why: the real generator must feed RandomInRange evenly over [0, 1); a bias in how its
    // bits become a float would draw some numbers far more often than others. With a fixed
    // seed each of 43 numbers is drawn 10000 times give or take 1 %; 5 % is over five sigma.
    void seededDrawsAreEven() {
        SeededRandom random;
        random.seed(20261207);
        std::vector<int> counts(44);
        for (int i = 0; i < 430000; ++i) {
            ++counts[static_cast<std::size_t>(RandomInRange(random, 43, 1))];
        }
        const auto even = [](int count) { return std::abs(count - 10000) < 500; };
        QVERIFY(counts[0] == 0 && std::ranges::all_of(std::span(counts).subspan(1), even));
    }

    // Why: the seed comes from the clock; a coarse clock would make two starts repeat each
    // other.
    void startsAMillisecondApartDrawDifferentSequences() {
        const auto start = [] {
            SeededRandom random;
            random.Randomize();
            return std::pair(random.RandomNext(), random.RandomNext());
        };
        const auto first = start();
        std::this_thread::sleep_for(1ms);
        QVERIFY(start() != first);
    }

    // Why: the test is "elapsed >= delay": an exact delay ends it, nothing ends it early, and
    // a coarse clock (15.625 ms steps) ends a 10 ms wait at its first step. Captions written
    // just before a wait must be painted however short it is, but a wait whose delay has
    // already passed at its first reading ends without dispatching.
    void aWaitEndsAtTheFirstReadingThatCoversItsDelayAndPumpsIfItWaits() {
        Rig exact, coarse, jumping;
        exact.clock.now = 12345us;
        exact.pump.at(12345us + 699ms, [] {});  // an event wakes the wait just before its end
        exact.pacer.PacedWait(700ms);
        QVERIFY(exact.clock.now == 12345us + 700ms && exact.pump.pumps == 2);
        coarse.clock.step = 15625us;
        coarse.pacer.PacedWait(10ms);
        QCOMPARE(coarse.clock.GetTimer(), 15625us);
        coarse.pacer.PacedWait(20ms);
        QCOMPARE(coarse.clock.GetTimer(), 46875us);  // two more steps: one is not 20 ms
        jumping.clock.tick = 10ms;
        jumping.pacer.PacedWait(10ms);
        QCOMPARE(jumping.pump.pumps, 0);
    }

    // Why: a timer set for the deadline wakes the thread a latency late at every wait, and a
    // forecast's waits add up. It leads by the least of the last eight latencies, so it is
    // seldom early (the rest is waited out on the clock, the processor busy) and one slow
    // wake-up does not lead the next waits astray, nor one that came early; a slow machine's
    // lead is capped.
    void theWakeUpTimerLeadsByTheLeastRecentLatency() {
        WakeUpTimer timer;
        for (const Timer late : {300us, 150us, 200us, 180us, 160us, 170us, 190us, 210us}) {
            timer.woke(timer.interval(0ms, 10ms) + late);  // the first ones set for 10 ms
        }
        QCOMPARE(timer.interval(1ms, 10ms), 9ms - 150us);
        timer.woke(2ms);  // before its time, by a stale signal: no latency of zero learnt
        QCOMPARE(timer.interval(1ms, 10ms), 9ms - 150us);
        for (const Timer late : std::vector(8, Timer(5ms))) {
            timer.woke(timer.interval(0ms, 10ms) + late);
        }
        QCOMPARE(timer.interval(0ms, 10ms), 8ms);
        VirtualClock clock;
        clock.tick = 30us;
        WakeUpTimer::finish(clock, 100us);
        QCOMPARE(clock.now, 150us);  // the reading at 120 us was the first past it
    }

    // Why: the texts are the program's own and must stand exactly, ASCII marks included.
    // Each replaces the whole message line; only the closing remark beeps, after its caption.
    // Values 3, 4 and 5 share the last row, whose closing remark is that of 0.
    void eachDrawnValueGivesItsRemark() {
        for (int value = 0; value <= 5; ++value) {
            Rig rig;
            rig.random.queue(QList<int>{value, value}, 5, 0);
            Remarks remarks(rig.recorder, rig.random, rig.recorder);
            const auto shown = [&] {
                return QString::fromStdString(rig.recorder.captions[Label::Label7]);
            };
            QCOMPARE(remarks.capcap2(), value);
            QCOMPARE(shown(), expected["waiting"][std::min(value, 3)].toString());
            QCOMPARE(remarks.capcap(), value);
            QCOMPARE(shown(), expected["closing"][value > 2 ? 0 : value].toString());
            QVERIFY(rig.recorder.events.size() == 3 && rig.recorder.events[2].what == "beep");
        }
    }

    void eachGameFollowsItsStepTable_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<QList<int>>("drawn");  // a set refused, then the one shown
        QTest::addColumn<QString>("steps");
        QTest::newRow("Loto 6, first equals last")
            << int(Button::roto6) << QList<int>{9, 2, 3, 4, 5, 9, 12, 43, 5, 1, 30, 22}
            << "L8=ロト6の予想です | L7=抽選は毎週木曜日 | spin 1 | L1=12 | spin 2 | L7=~remark | "
               "L2=43 | spin 3 | L3=5 | spin 4 | L4=1 | L7=~remark | spin 5 | L5=30 | spin 6 | "
               "L6=22 | L7=~closing | beep";
        QTest::newRow("Mini Loto, last two equal")
            << int(Button::miniroto) << QList<int>{3, 1, 2, 4, 4, 31, 1, 17, 8, 2}
            << "L8=ミニロトの予想です! | L6= | L7=チャンスは毎週チューズディ! | spin 1 | "
               "pause 100 | L1=31 | spin 2 | pause 100 | L2=1 | spin 3 | pause 500 | "
               "L7=~remark | L3=17 | spin 4 | pause 800 | L7=~remark | L4=8 | spin 5 | "
               "pause 1000 | L5=2 | L7=~closing | beep";
        QTest::newRow("Numbers 3, 7 7 7; ends equal pass")
            << int(Button::Numbers3) << QList<int>{7, 7, 7, 0, 9, 0}
            << "L8=Numbers3の予想だよ | L7=抽選は毎週,月,水,金 | L4= | L5= | L6= | spin 1 | "
               "L1=0 | spin 2 | L2=9 | spin 3 | L7=~remark | L3=0 | L7=~closing | beep";
        QTest::newRow("Numbers 4, 0 0 0 0; three equal pass")
            << int(Button::Numbers4) << QList<int>{0, 0, 0, 0, 3, 3, 3, 5}
            << "L8=Numbers4の予想です | L7=抽選は毎週月・水・金 | L5= | L6= | spin 1 | L1=3 | "
               "spin 2 | L2=3 | spin 3 | L7=~remark | L3=3 | spin 4 | L4=5 | L7=~closing | beep";
    }

    // Why: a swapped step, a wrong frame count or delay moves every later event. The set is
    // drawn after the first spin, a refused set is drawn again whole (the lotteries refuse any
    // repeat, the digit games only one digit throughout), and the numbers show in draw order.
    void eachGameFollowsItsStepTable() {
        QFETCH(int, game);
        QFETCH(QList<int>, drawn);
        QFETCH(QString, steps);
        const ExpectedGame g = expectedGame(Button(game));
        Rig rig;
        for (int i = 0; i < 31 * g.count; ++i) {  // the first spin's numbers, then the sets
            rig.random.values.push_back(ScriptedRandom::spread(1000 + i));
        }
        rig.random.queue(drawn, g.highest, g.lowest);
        rig.forecasts.click(Button(game));
        const QStringList timeline = expand(steps, g);
        QCOMPARE(timelineOf(rig, timeline, g), timeline);
        QCOMPARE(rig.clock.now, g.least);  // ended at the closing remark, on the table's time
    }

    // Why: nothing guards re-entry. A press runs its whole forecast inside the running one's
    // wait, which then ends late; the outer forecast goes on, each label keeps its last write.
    void aPressDuringAWaitNestsAWholeForecastAndTheOuterOneResumes() {
        Rig rig;
        rig.pump.at(105ms, [&] { rig.forecasts.Numbers3_Click(); });    // in Loto 6's 100-110 ms
        rig.pump.at(1000ms, [&] { rig.forecasts.miniroto_Click(0); });  // inside the Numbers 3
        rig.forecasts.roto6_Click();

        const auto written = [&](const std::string& what) {
            const auto event = std::ranges::find(rig.recorder.events, what, &Event::what);
            return event == rig.recorder.events.end() ? Timer::max() : event->time;
        };
        QCOMPARE(written("L8=Numbers3の予想だよ"), Timer(105ms));
        QCOMPARE(written("L8=ミニロトの予想です!"), Timer(1000ms));
        QCOMPARE(written("beep"), Timer(1000ms + 9060ms));  // the innermost ends first
        // Numbers 3 lasts its own 2.46 s plus Mini Loto's 9.06 s, less the 15 ms its
        // interrupted frame wait had left; then Loto 6 resumes and runs its remaining 10.65 s.
        QCOMPARE(rig.clock.now, Timer(105ms + 2460ms + 9060ms - 15ms + 10650ms));
        QCOMPARE(rig.recorder.captions[headline], std::string("ミニロトの予想です!"));
        QCOMPARE(rig.recorder.beeps(), 3);
    }

    // Why: unbounded nesting could exhaust the stack; 64 deep, a press does nothing
    // and the nest unwinds normally, every forecast to its closing beep.
    void nestingIsBoundedAndEveryForecastStillFinishes() {
        Rig rig;
        for (int i = 0; i < 74; ++i) {  // each runs in the one before
            rig.pump.at(0ms, [&] { rig.forecasts.Numbers3_Click(); });
        }
        rig.forecasts.Numbers3_Click();
        QCOMPARE(rig.recorder.beeps(), 64);
        QCOMPARE(rig.forecasts.depth(), 0);
    }

    // Why: closing the window must end forecasts at any depth, wherever they are, with no
    // write to a control after the close and no time spent waiting out the rest.
    void closingAtAnyMomentEndsEveryForecastWithoutAnotherWrite() {
        for (int game = 0; game < 4; ++game) {
            const ExpectedGame outer = expectedGame(Button(game));
            for (Timer at{}; at < outer.least; at += 37ms) {
                Rig rig;
                std::size_t writtenBeforeClose = 0;
                rig.pump.at(at / 2, [&] { rig.forecasts.click(Button((game + 1) % 4)); });
                rig.pump.at(at, [&] {
                    rig.pacer.stop();
                    writtenBeforeClose = rig.recorder.events.size();
                });
                rig.forecasts.click(Button(game));
                rig.forecasts.click(Button(game));  // a press after the close does nothing
                QVERIFY2(rig.recorder.events.size() == writtenBeforeClose && rig.clock.now == at &&
                             rig.forecasts.depth() == 0,
                         qPrintable(QStringLiteral("game %1 at %2 ns").arg(game).arg(at.count())));
            }
        }
    }
};

QTEST_GUILESS_MAIN(CoreTest)
#include "test_core.moc"
