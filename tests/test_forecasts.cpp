// The four forecasts on a virtual clock: every caption write and beep in order and on time,
// the draw and its rejections, nested presses, and closing the window at any moment.

#include <QtTest>
#include <set>

#include "forecast/forecasts.h"
#include "tests/fakes.h"

using namespace ostavel;
using namespace ostavel::testing;

namespace {

struct Rig : VirtualWorld {
    Forecasts forecasts{{recorder, random, recorder, pacer}};
};

const Game* const games[] = {&roto6Game, &minirotoGame, &numbers3Game, &numbers4Game};

void press(Forecasts& forecasts, int game) {
    switch (game) {
        case 0:
            return forecasts.roto6_Click();
        case 1:
            return forecasts.miniroto_Click(0);
        case 2:
            return forecasts.Numbers3_Click();
        default:
            return forecasts.Numbers4_Click();
    }
}

// Expands a step table into the timeline it must cause, one "<ms> <event>" a line. "spin k"
// is reel routine k's frames (frames and delay below), each writing positions k..6, "#" for a
// number of the range; "pause ms" a paced wait; "remark" a waiting remark; "closing" the
// closing remark and the beep.
QStringList expand(const QStringList& steps, int shown) {
    const int frames[] = {31, 21, 11, 7, 4, 6};
    const int delays[] = {10, 50, 100, 300, 500, 700};
    QStringList timeline;
    int now = 0;
    const auto add = [&](const QString& what) { timeline << QString::number(now) + " " + what; };
    for (const QString& step : steps) {
        const int arg = step.section(' ', 1).toInt();
        if (step.startsWith("spin")) {
            for (int frame = 0; frame < frames[arg - 1]; ++frame, now += delays[arg - 1]) {
                for (int p = arg; p <= 6; ++p) {
                    add(QStringLiteral("L%1=%2").arg(p).arg(p <= shown ? "#" : ""));
                }
            }
        } else if (step.startsWith("pause")) {
            now += arg;
        } else {
            add(step == "remark" || step == "closing" ? "L7=~" + step : step);
        }
        if (step == "closing") {
            add("beep");
        }
    }
    return timeline;
}

// The recorded timeline in the same terms. A number is "#" where a spin is expected, when it
// is plain decimal digits within the range; a remark is "~remark" or "~closing" when it is one
// of the pickers' texts.
QStringList timelineOf(const std::vector<Event>& events, const QStringList& expected,
                       const Game& game) {
    const QRegularExpression number("^L[1-6]=(0|[1-9][0-9]*)$");
    const auto in = [](const RemarkTable& table, const std::string& text) {
        return std::find(table.begin(), table.end(), text) != table.end();
    };
    QStringList timeline;
    for (const Event& e : events) {
        QString what = QString::fromStdString(e.what);
        const int value = what.mid(3).toInt();
        const bool spinExpected = expected.value(timeline.size()).endsWith("=#");
        if (spinExpected && number.match(what).hasMatch() && value >= game.lowerbound &&
            value <= game.upperbound) {
            what = what.left(3) + "#";
        } else if (what.startsWith("L7=") && in(waitingRemarks, e.what.substr(3))) {
            what = "L7=~remark";
        } else if (what.startsWith("L7=") && in(closingRemarks, e.what.substr(3))) {
            what = "L7=~closing";
        }
        timeline << QString::number(std::chrono::duration<double, std::milli>(e.time).count()) +
                        " " + what;
    }
    return timeline;
}

}  // namespace

class ForecastsTest : public QObject {
    Q_OBJECT

private slots:
    void eachGameFollowsItsStepTable_data();
    void eachGameFollowsItsStepTable();
    void aRejectedSetIsDrawnAgainWhole_data();
    void aRejectedSetIsDrawnAgainWhole();
    void aPressDuringAWaitNestsAWholeForecastAndTheOuterOneResumes();
    void closingAtAnyMomentEndsEveryForecastWithoutAnotherWrite();
    void nestingIsBoundedAndEveryForecastStillFinishes();
};

void ForecastsTest::eachGameFollowsItsStepTable_data() {
    QTest::addColumn<int>("game");
    QTest::addColumn<QList<int>>("set");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("milliseconds");
    QTest::newRow("Loto 6") << 0 << QList<int>{12, 43, 5, 1, 30, 22}
                            << "L8=ロト6の予想です | L7=抽選は毎週木曜日 | spin 1 | L1=12 | "
                               "spin 2 | remark | L2=43 | spin 3 | L3=5 | spin 4 | L4=1 | remark | "
                               "spin 5 | L5=30 | spin 6 | L6=22 | closing"
                            << 10760;
    QTest::newRow("Mini Loto") << 1 << QList<int>{31, 1, 17, 8, 2}
                               << "L8=ミニロトの予想です! | L6= | L7=チャンスは毎週チューズディ! | "
                                  "spin 1 | pause 100 | L1=31 | spin 2 | pause 100 | L2=1 | "
                                  "spin 3 | pause 500 | remark | L3=17 | spin 4 | pause 800 | "
                                  "remark | L4=8 | spin 5 | pause 1000 | L5=2 | closing"
                               << 9060;
    QTest::newRow("Numbers 3") << 2 << QList<int>{0, 9, 0}
                               << "L8=Numbers3の予想だよ | L7=抽選は毎週,月,水,金 | L4= | L5= | "
                                  "L6= | spin 1 | L1=0 | spin 2 | L2=9 | spin 3 | remark | L3=0 | "
                                  "closing"
                               << 2460;
    QTest::newRow("Numbers 4") << 3 << QList<int>{3, 3, 3, 5}
                               << "L8=Numbers4の予想です | L7=抽選は毎週月・水・金 | L5= | L6= | "
                                  "spin 1 | L1=3 | spin 2 | L2=3 | spin 3 | remark | L3=3 | "
                                  "spin 4 | L4=5 | closing"
                               << 4560;
}

// Why: a swapped step, a wrong frame count or delay moves every later event; the numbers show
// in draw order, unsorted, and the forecast lasts exactly its reels and pauses.
void ForecastsTest::eachGameFollowsItsStepTable() {
    QFETCH(int, game);
    QFETCH(QList<int>, set);
    QFETCH(QString, steps);
    QFETCH(int, milliseconds);
    const Game& g = *games[game];
    Rig rig;
    rig.random.skip(31 * g.max);  // the first spin's numbers come before the set is drawn
    rig.random.queue({set.begin(), set.end()}, g.upperbound, g.lowerbound);
    press(rig.forecasts, game);

    const QStringList expected = expand(steps.split(" | "), g.max);
    QCOMPARE(timelineOf(rig.recorder.events, expected, g), expected);
    QCOMPARE(rig.clock.now, Timer(std::chrono::milliseconds(milliseconds)));
}

void ForecastsTest::aRejectedSetIsDrawnAgainWhole_data() {
    QTest::addColumn<int>("game");
    QTest::addColumn<QList<int>>("refused");
    QTest::addColumn<QList<int>>("accepted");
    QTest::newRow("Loto 6, first equals last")
        << 0 << QList<int>{9, 2, 3, 4, 5, 9} << QList<int>{9, 8, 7, 6, 5, 4};
    QTest::newRow("Mini Loto, a middle pair")
        << 1 << QList<int>{3, 1, 2, 2, 4} << QList<int>{5, 3, 1, 2, 4};
    QTest::newRow("Numbers 3, 7 7 7") << 2 << QList<int>{7, 7, 7} << QList<int>{7, 7, 1};
    QTest::newRow("Numbers 3, ends equal pass") << 2 << QList<int>{} << QList<int>{2, 1, 2};
    QTest::newRow("Numbers 4, 0 0 0 0") << 3 << QList<int>{0, 0, 0, 0} << QList<int>{3, 3, 3, 5};
    QTest::newRow("Numbers 4, last differs passes") << 3 << QList<int>{} << QList<int>{8, 8, 8, 9};
}

// Why: the lotteries refuse any repeated number, the digit games only a single repeated
// digit; and no number of a refused set may survive into the next attempt.
void ForecastsTest::aRejectedSetIsDrawnAgainWhole() {
    QFETCH(int, game);
    QFETCH(QList<int>, refused);
    QFETCH(QList<int>, accepted);
    const Game& g = *games[game];
    ScriptedRandom random;
    random.queue({refused.begin(), refused.end()}, g.upperbound, g.lowerbound);
    random.queue({accepted.begin(), accepted.end()}, g.upperbound, g.lowerbound);
    const NumberSet set = drawSet(g, random);
    QCOMPARE(random.draws, static_cast<int>(refused.size() + accepted.size()));
    QCOMPARE(QList<int>(set.begin(), set.begin() + g.max), accepted);
}

// Why: nothing guards re-entry. A press runs its whole forecast inside the running one's wait,
// which then ends late; the outer forecast goes on, and each label keeps its last write.
void ForecastsTest::aPressDuringAWaitNestsAWholeForecastAndTheOuterOneResumes() {
    Rig rig;
    rig.pump.at(105ms, [&] { rig.forecasts.Numbers3_Click(); });    // in the wait of 100 to 110 ms
    rig.pump.at(1000ms, [&] { rig.forecasts.miniroto_Click(0); });  // inside the Numbers 3
    rig.forecasts.roto6_Click();

    const auto& events = rig.recorder.events;
    const auto written = [&](const std::string& what) {
        const auto event = std::find_if(events.begin(), events.end(),
                                        [&](const Event& e) { return e.what == what; });
        return event == events.end() ? Timer::max() : event->time;
    };
    QCOMPARE(written("L8=Numbers3の予想だよ"), Timer(105ms));
    QCOMPARE(written("L8=ミニロトの予想です!"), Timer(1000ms));
    QCOMPARE(written("beep"), Timer(1000ms + 9060ms));  // the innermost ends first
    // Numbers 3 lasts its own 2.46 s plus Mini Loto's 9.06 s, less the 15 ms its interrupted
    // frame wait had left; then Loto 6 resumes at 11.61 s and runs its remaining 10.65 s.
    QCOMPARE(rig.clock.now, Timer(105ms + 2460ms + 9060ms - 15ms + 10650ms));
    QCOMPARE(rig.recorder.caption(headline), std::string("ミニロトの予想です!"));
    // Loto 6 wrote every bubble last, the sixth that Mini Loto blanked too.
    std::set<std::string> outerSet;
    for (int p = 1; p <= 6; ++p) {
        outerSet.insert(rig.recorder.caption(numberLabel(p)));
    }
    QCOMPARE(outerSet.size(), std::size_t(6));
    QVERIFY(!outerSet.contains(""));
    QCOMPARE(rig.recorder.beeps(), 3);
    QCOMPARE(rig.forecasts.depth(), 0);
}

// Why: closing the window must end forecasts at any depth, wherever they are, with no write
// to a control after the close and no time spent waiting out the rest of the timeline.
void ForecastsTest::closingAtAnyMomentEndsEveryForecastWithoutAnotherWrite() {
    const int lengths[] = {10760, 9060, 2460, 4560};
    for (int game = 0; game < 4; ++game) {
        for (int at = 0; at < lengths[game]; at += 37) {
            Rig rig;
            std::size_t writtenBeforeClose = 0;
            rig.pump.at(std::chrono::milliseconds(at / 2),
                        [&] { press(rig.forecasts, (game + 1) % 4); });
            rig.pump.at(std::chrono::milliseconds(at), [&] {
                rig.pacer.stop();
                writtenBeforeClose = rig.recorder.events.size();
            });
            press(rig.forecasts, game);
            press(rig.forecasts, game);  // a press after the close does nothing
            const QByteArray when =
                QByteArray::number(game) + " closed at " + QByteArray::number(at) + " ms";
            QVERIFY2(rig.recorder.events.size() == writtenBeforeClose, when);
            QVERIFY2(rig.clock.now == Timer(std::chrono::milliseconds(at)), when);
            QVERIFY2(rig.forecasts.depth() == 0, when);
        }
    }
}

// Why: unbounded nesting could exhaust the stack; beyond the bound a press does nothing and
// the nest unwinds normally, every forecast to its closing beep.
void ForecastsTest::nestingIsBoundedAndEveryForecastStillFinishes() {
    Rig rig;
    int presses = 0;
    int deepest = 0;
    rig.pump.onEveryPump = [&] {
        deepest = std::max(deepest, rig.forecasts.depth());
        if (presses++ < Forecasts::maxDepth + 10) {
            rig.forecasts.Numbers3_Click();
        }
    };
    rig.forecasts.Numbers3_Click();
    QCOMPARE(deepest, Forecasts::maxDepth);
    QCOMPARE(rig.recorder.beeps(), Forecasts::maxDepth);
    QCOMPARE(rig.forecasts.depth(), 0);
}

QTEST_GUILESS_MAIN(ForecastsTest)
#include "test_forecasts.moc"
