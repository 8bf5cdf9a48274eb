// The four forecasts on a virtual clock: every caption write and beep in order and on time,
// the draw and its rejections, nested presses, and closing the window at any moment.

#include <QtTest>
#include <functional>

#include "forecast/forecasts.h"
#include "remarks/remarks.h"
#include "tests/fakes.h"

using namespace ostavel;
using namespace ostavel::testing;
using std::chrono::milliseconds;

namespace {

struct Rig {
    VirtualClock clock;
    VirtualPump pump{clock};
    Pacer pacer{clock, pump};
    Recorder recorder{clock};
    ScriptedRandom random;
    Forecasts forecasts{{recorder, random, recorder, pacer}};
};

// The timeline a forecast must produce, built from its step table. "#" stands for any number
// of the game's range (a reel frame), "~waiting" and "~closing" for any remark of that kind.
class Timeline {
public:
    Timeline(int upperbound, int lowerbound, int max)
        : upperbound_(upperbound), lowerbound_(lowerbound), shown_(max) {}

    void write(int label, const std::string& text) {
        events.push_back({now, "L" + std::to_string(label) + "=" + text});
    }
    void spin(int first, int frames, milliseconds delay) {
        for (int frame = 0; frame < frames; ++frame) {
            for (int p = first; p <= 6; ++p) {
                write(p, p <= shown_ ? "#" : "");
            }
            now += delay;
        }
    }
    void wait(milliseconds delay) { now += delay; }
    void waitingRemark() { write(7, "~waiting"); }
    void closingRemark() {
        write(7, "~closing");
        events.push_back({now, "beep"});
    }

    bool matches(const Event& expected, const Event& actual) const {
        if (expected.time != actual.time) {
            return false;
        }
        const auto cut = expected.what.find('=');
        if (cut == std::string::npos ||
            expected.what.substr(0, cut) != actual.what.substr(0, cut)) {
            return expected.what == actual.what;
        }
        const std::string want = expected.what.substr(cut + 1);
        const std::string got = actual.what.substr(cut + 1);
        if (want == "#") {
            bool digits = !got.empty() && got.size() <= 2 && (got.size() == 1 || got[0] != '0');
            for (char c : got) {
                digits = digits && c >= '0' && c <= '9';
            }
            return digits && std::stoi(got) >= lowerbound_ && std::stoi(got) <= upperbound_;
        }
        if (want == "~waiting" || want == "~closing") {
            const RemarkTable& table = want == "~waiting" ? waitingRemarks : closingRemarks;
            return std::find(table.begin(), table.end(), got) != table.end();
        }
        return want == got;
    }

    std::vector<Event> events;
    Timer now{};

private:
    int upperbound_;
    int lowerbound_;
    int shown_;
};

void compareTimelines(const std::vector<Event>& actual, const Timeline& expected) {
    const std::size_t common = std::min(actual.size(), expected.events.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (!expected.matches(expected.events[i], actual[i])) {
            const std::size_t from = i >= 3 ? i - 3 : 0;
            QFAIL(qPrintable(QStringLiteral("event %1 differs\nexpected:\n%2actual:\n%3")
                                 .arg(i)
                                 .arg(QString::fromStdString(describe(expected.events, from, 7)))
                                 .arg(QString::fromStdString(describe(actual, from, 7)))));
        }
    }
    QCOMPARE(actual.size(), expected.events.size());
}

// The draws the first spin makes before the forecast draws its set: 31 frames of max numbers.
int firstSpinDraws(int max) {
    return 31 * max;
}

}  // namespace

class ForecastsTest : public QObject {
    Q_OBJECT

private slots:
    void lotoSixFollowsItsStepTable();
    void miniLotoFollowsItsStepTable();
    void numbersThreeFollowsItsStepTable();
    void numbersFourFollowsItsStepTable();
    void rejectionTestsMatchTheirGames_data();
    void rejectionTestsMatchTheirGames();
    void aRejectedSetIsDrawnAgainWhole_data();
    void aRejectedSetIsDrawnAgainWhole();
    void aPressDuringAWaitNestsAWholeForecastAndTheOuterOneResumes();
    void nestedForecastsKeepWhatWasWrittenLast();
    void closingAtAnyMomentEndsEveryForecastWithoutAnotherWrite();
    void closingDuringANestedForecastEndsBothLevels();
    void nestingIsBoundedAndEveryForecastStillFinishes();
};

// Why: the Loto 6 reveal interleaves reels and remarks in a fixed order; a swapped step, a
// wrong frame count or delay moves every later event. Numbers show in draw order, unsorted.
void ForecastsTest::lotoSixFollowsItsStepTable() {
    Rig rig;
    rig.random.skip(firstSpinDraws(6));
    rig.random.queue({12, 43, 5, 1, 30, 22}, 43, 1);
    rig.forecasts.roto6_Click();

    Timeline t(43, 1, 6);
    t.write(8, "ロト6の予想です");
    t.write(7, "抽選は毎週木曜日");
    t.spin(1, 31, 10ms);
    t.write(1, "12");
    t.spin(2, 21, 50ms);
    t.waitingRemark();
    t.write(2, "43");
    t.spin(3, 11, 100ms);
    t.write(3, "5");
    t.spin(4, 7, 300ms);
    t.write(4, "1");
    t.waitingRemark();
    t.spin(5, 4, 500ms);
    t.write(5, "30");
    t.spin(6, 6, 700ms);
    t.write(6, "22");
    t.closingRemark();
    compareTimelines(rig.recorder.events, t);
    QCOMPARE(rig.clock.now, Timer(10760ms));
}

// Why: Mini Loto blanks the sixth bubble before its message and pauses before each reveal.
void ForecastsTest::miniLotoFollowsItsStepTable() {
    Rig rig;
    rig.random.skip(firstSpinDraws(5));
    rig.random.queue({31, 1, 17, 8, 2}, 31, 1);
    rig.forecasts.miniroto_Click(0);

    Timeline t(31, 1, 5);
    t.write(8, "ミニロトの予想です!");
    t.write(6, "");
    t.write(7, "チャンスは毎週チューズディ!");
    t.spin(1, 31, 10ms);
    t.wait(100ms);
    t.write(1, "31");
    t.spin(2, 21, 50ms);
    t.wait(100ms);
    t.write(2, "1");
    t.spin(3, 11, 100ms);
    t.wait(500ms);
    t.waitingRemark();
    t.write(3, "17");
    t.spin(4, 7, 300ms);
    t.wait(800ms);
    t.waitingRemark();
    t.write(4, "8");
    t.spin(5, 4, 500ms);
    t.wait(1000ms);
    t.write(5, "2");
    t.closingRemark();
    compareTimelines(rig.recorder.events, t);
    QCOMPARE(rig.clock.now, Timer(9060ms));
}

// Why: the digit games blank the bubbles out of play after the message and have one remark.
void ForecastsTest::numbersThreeFollowsItsStepTable() {
    Rig rig;
    rig.random.skip(firstSpinDraws(3));
    rig.random.queue({0, 9, 0}, 9, 0);
    rig.forecasts.Numbers3_Click();

    Timeline t(9, 0, 3);
    t.write(8, "Numbers3の予想だよ");
    t.write(7, "抽選は毎週,月,水,金");
    t.write(4, "");
    t.write(5, "");
    t.write(6, "");
    t.spin(1, 31, 10ms);
    t.write(1, "0");
    t.spin(2, 21, 50ms);
    t.write(2, "9");
    t.spin(3, 11, 100ms);
    t.waitingRemark();
    t.write(3, "0");
    t.closingRemark();
    compareTimelines(rig.recorder.events, t);
    QCOMPARE(rig.clock.now, Timer(2460ms));
}

void ForecastsTest::numbersFourFollowsItsStepTable() {
    Rig rig;
    rig.random.skip(firstSpinDraws(4));
    rig.random.queue({3, 3, 3, 5}, 9, 0);
    rig.forecasts.Numbers4_Click();

    Timeline t(9, 0, 4);
    t.write(8, "Numbers4の予想です");
    t.write(7, "抽選は毎週月・水・金");
    t.write(5, "");
    t.write(6, "");
    t.spin(1, 31, 10ms);
    t.write(1, "3");
    t.spin(2, 21, 50ms);
    t.write(2, "3");
    t.spin(3, 11, 100ms);
    t.waitingRemark();
    t.write(3, "3");
    t.spin(4, 7, 300ms);
    t.write(4, "5");
    t.closingRemark();
    compareTimelines(rig.recorder.events, t);
    QCOMPARE(rig.clock.now, Timer(4560ms));
}

void ForecastsTest::rejectionTestsMatchTheirGames_data() {
    QTest::addColumn<int>("rejection");
    QTest::addColumn<QList<int>>("set");
    QTest::addColumn<bool>("rejected");
    const int lottery = static_cast<int>(Rejection::AnyTwoEqual);
    const int digits = static_cast<int>(Rejection::AllDigitsEqual);
    QTest::newRow("lottery all different") << lottery << QList<int>{1, 2, 3, 4, 5, 6} << false;
    QTest::newRow("lottery first equals last") << lottery << QList<int>{9, 2, 3, 4, 5, 9} << true;
    QTest::newRow("lottery middle pair") << lottery << QList<int>{1, 2, 7, 7, 5, 6} << true;
    QTest::newRow("mini lottery far pair") << lottery << QList<int>{4, 31, 2, 4, 5} << true;
    QTest::newRow("digits all equal") << digits << QList<int>{7, 7, 7} << true;
    QTest::newRow("digits two equal") << digits << QList<int>{1, 1, 2} << false;
    QTest::newRow("digits ends equal") << digits << QList<int>{2, 1, 2} << false;
    QTest::newRow("four digits all equal") << digits << QList<int>{0, 0, 0, 0} << true;
    QTest::newRow("four digits three equal") << digits << QList<int>{3, 3, 3, 5} << false;
    QTest::newRow("four digits last differs") << digits << QList<int>{8, 8, 8, 9} << false;
}

// Why: the lotteries refuse any repeated number, the digit games only one repeated digit.
void ForecastsTest::rejectionTestsMatchTheirGames() {
    QFETCH(int, rejection);
    QFETCH(QList<int>, set);
    QFETCH(bool, rejected);
    std::vector<Number> numbers(set.begin(), set.end());
    QCOMPARE(isRejected(static_cast<Rejection>(rejection), numbers), rejected);
}

void ForecastsTest::aRejectedSetIsDrawnAgainWhole_data() {
    QTest::addColumn<int>("game");
    QTest::addColumn<QList<int>>("refused");
    QTest::addColumn<QList<int>>("accepted");
    QTest::newRow("Loto 6") << 0 << QList<int>{1, 2, 3, 4, 5, 1} << QList<int>{9, 8, 7, 6, 5, 4};
    QTest::newRow("Mini Loto") << 1 << QList<int>{3, 3, 1, 2, 4} << QList<int>{5, 3, 1, 2, 4};
    QTest::newRow("Numbers 3") << 2 << QList<int>{7, 7, 7} << QList<int>{7, 7, 1};
    QTest::newRow("Numbers 4") << 3 << QList<int>{0, 0, 0, 0} << QList<int>{0, 0, 0, 1};
}

// Why: no number of a refused set may survive into the next attempt.
void ForecastsTest::aRejectedSetIsDrawnAgainWhole() {
    QFETCH(int, game);
    QFETCH(QList<int>, refused);
    QFETCH(QList<int>, accepted);
    const Game* games[] = {&roto6Game, &minirotoGame, &numbers3Game, &numbers4Game};
    const Game& g = *games[game];
    ScriptedRandom random;
    for (int n : refused) {
        random.queue({n}, g.upperbound, g.lowerbound);
    }
    for (int n : accepted) {
        random.queue({n}, g.upperbound, g.lowerbound);
    }
    const NumberSet set = drawSet(g, random);
    QCOMPARE(random.draws, 2 * g.max);
    for (int i = 0; i < g.max; ++i) {
        QCOMPARE(int(set[static_cast<std::size_t>(i)]), accepted[i]);
    }
}

// Why: nothing guards re-entry; a press runs its whole forecast inside the running one's
// wait, which then ends late and lets the outer forecast go on with its remaining frames.
void ForecastsTest::aPressDuringAWaitNestsAWholeForecastAndTheOuterOneResumes() {
    Rig rig;
    int innerDepth = 0;
    rig.pump.at(105ms, [&] {
        rig.forecasts.Numbers3_Click();
        innerDepth = rig.forecasts.depth();
    });
    rig.forecasts.roto6_Click();

    const auto& events = rig.recorder.events;
    const auto innerHeadline = std::find_if(events.begin(), events.end(), [](const Event& e) {
        return e.what == "L8=Numbers3の予想だよ";
    });
    QVERIFY(innerHeadline != events.end());
    QCOMPARE(innerHeadline->time, Timer(105ms));
    const auto firstBeep =
        std::find_if(events.begin(), events.end(), [](const Event& e) { return e.what == "beep"; });
    QCOMPARE(firstBeep->time, Timer(105ms + 2460ms));
    // The frame wait that began at 100 ms ends when the inner forecast returns; the outer
    // forecast then runs its remaining 10760 - 110 ms.
    QCOMPARE(rig.clock.now, Timer(105ms + 2460ms + 10760ms - 110ms));
    QCOMPARE(rig.recorder.beeps(), 2);
    QCOMPARE(innerDepth, 1);  // back in the outer forecast
    QCOMPARE(rig.forecasts.depth(), 0);
}

// Why: each label shows what was written into it last: the headline stays the inner one's,
// the sixth bubble the outer Mini Loto's blank.
void ForecastsTest::nestedForecastsKeepWhatWasWrittenLast() {
    Rig rig;
    rig.random.skip(firstSpinDraws(5));
    rig.random.queue({11, 12, 13, 14, 15}, 31, 1);
    rig.pump.at(350ms, [&] { rig.forecasts.roto6_Click(); });      // during the first pause
    rig.pump.at(5000ms, [&] { rig.forecasts.Numbers4_Click(); });  // inside the Loto 6
    rig.forecasts.miniroto_Click(0);

    QCOMPARE(rig.recorder.caption(headline), std::string("Numbers4の予想です"));
    const char* expected[] = {"11", "12", "13", "14", "15", ""};
    for (int p = 1; p <= 6; ++p) {
        QCOMPARE(rig.recorder.caption(numberLabel(p)), std::string(expected[p - 1]));
    }
    QCOMPARE(rig.recorder.beeps(), 3);
    const std::string closing = rig.recorder.caption(messageLine);
    QVERIFY(std::find(closingRemarks.begin(), closingRemarks.end(), closing) !=
            closingRemarks.end());
}

// Why: closing the window must end a forecast wherever it is, with no write to a control
// after the close and no time spent waiting out the rest of the timeline.
void ForecastsTest::closingAtAnyMomentEndsEveryForecastWithoutAnotherWrite() {
    using Click = std::function<void(Forecasts&)>;
    const std::pair<Click, milliseconds> games[] = {
        {[](Forecasts& f) { f.roto6_Click(); }, 10760ms},
        {[](Forecasts& f) { f.miniroto_Click(0); }, 9060ms},
        {[](Forecasts& f) { f.Numbers3_Click(); }, 2460ms},
        {[](Forecasts& f) { f.Numbers4_Click(); }, 4560ms},
    };
    for (const auto& [click, length] : games) {
        for (milliseconds at = 0ms; at < length; at += 37ms) {
            Rig rig;
            std::size_t writtenBeforeClose = 0;
            rig.pump.at(at, [&] {
                rig.pacer.stop();
                writtenBeforeClose = rig.recorder.events.size();
            });
            click(rig.forecasts);
            const QByteArray when = QByteArray::number(qint64(at.count())) + " ms";
            QVERIFY2(rig.recorder.events.size() == writtenBeforeClose, when);
            QVERIFY2(rig.clock.now == Timer(at),
                     when + " ended at " + QByteArray::number(qint64(rig.clock.now.count())));
            QCOMPARE(rig.recorder.beeps(), 0);
            QCOMPARE(rig.forecasts.depth(), 0);
            click(rig.forecasts);  // a press after the close does nothing
            QCOMPARE(rig.recorder.events.size(), writtenBeforeClose);
        }
    }
}

void ForecastsTest::closingDuringANestedForecastEndsBothLevels() {
    Rig rig;
    rig.pump.at(500ms, [&] { rig.forecasts.Numbers4_Click(); });
    std::size_t writtenBeforeClose = 0;
    rig.pump.at(1500ms, [&] {
        QCOMPARE(rig.forecasts.depth(), 2);
        rig.pacer.stop();
        writtenBeforeClose = rig.recorder.events.size();
    });
    rig.forecasts.roto6_Click();
    QCOMPARE(rig.recorder.events.size(), writtenBeforeClose);
    QCOMPARE(rig.clock.now, Timer(1500ms));
    QCOMPARE(rig.forecasts.depth(), 0);
}

// Why: presses nest forecasts without limit otherwise, and a deep enough nest would exhaust
// the stack; beyond the bound a press does nothing and the nest unwinds normally.
void ForecastsTest::nestingIsBoundedAndEveryForecastStillFinishes() {
    Rig rig;
    int presses = 0;
    int deepest = 0;
    rig.pump.onEveryPump = [&] {
        deepest = std::max(deepest, rig.forecasts.depth());
        if (presses < Forecasts::maxDepth + 10) {
            ++presses;
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
