// The reel routines with the values no game passes: other counts of numbers shown, a range of
// one number, and the window closing mid-spin. The games' own spins are in test_forecasts.

#include <QtTest>

#include "reels/reels.h"
#include "tests/fakes.h"

using namespace ostavel;
using namespace ostavel::testing;

struct Rig : VirtualWorld {
    Reels reels{recorder, random, pacer};
};

class ReelsTest : public QObject {
    Q_OBJECT

private slots:
    void anyCountButThreeToFiveShowsAllSix_data();
    void anyCountButThreeToFiveShowsAllSix();
    void aRangeOfOneNumberShowsItInEverySpinningLabel();
    void closingTheWindowStopsTheSpinBeforeTheNextFrame();
};

void ReelsTest::anyCountButThreeToFiveShowsAllSix_data() {
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("spinning");  // how many of kurukuru4's positions 4..6 get numbers
    QTest::newRow("0") << 0 << 3;
    QTest::newRow("2") << 2 << 3;
    QTest::newRow("3") << 3 << 0;
    QTest::newRow("4") << 4 << 1;
    QTest::newRow("5") << 5 << 2;
    QTest::newRow("7") << 7 << 3;
    QTest::newRow("-1") << -1 << 3;
}

// Why: the shown count is max only for 3, 4 and 5; anything else spins all six. A routine
// that shows nothing still blanks its positions in every frame and keeps its pace.
void ReelsTest::anyCountButThreeToFiveShowsAllSix() {
    QFETCH(int, max);
    QFETCH(int, spinning);
    Rig rig;
    rig.reels.kurukuru4(9, 0, static_cast<Number>(max));
    QCOMPARE(rig.recorder.events.size(), std::size_t(7 * 3));
    for (std::size_t i = 0; i < rig.recorder.events.size(); ++i) {
        const Event& e = rig.recorder.events[i];
        const int p = 4 + static_cast<int>(i % 3);
        QCOMPARE(e.time, Timer(300ms * static_cast<int>(i / 3)));
        QCOMPARE(e.what.substr(0, 3), writeOf(p));
        QCOMPARE(e.what.size() == 4, p < 4 + spinning);  // one digit, or blank
    }
    QCOMPARE(rig.clock.now, Timer(2100ms));
}

void ReelsTest::aRangeOfOneNumberShowsItInEverySpinningLabel() {
    Rig rig;
    rig.reels.kurukuru2(7, 7, 4);
    for (const Event& e : rig.recorder.events) {
        QCOMPARE(e.what.substr(3), std::string(e.what[1] <= '4' ? "7" : ""));
    }
    QCOMPARE(rig.recorder.events.size(), std::size_t(21 * 5));
}

// Why: once the window has closed, no control may be written again.
void ReelsTest::closingTheWindowStopsTheSpinBeforeTheNextFrame() {
    Rig rig;
    rig.pump.at(125ms, [&] { rig.pacer.stop(); });
    rig.reels.kurukuru3(9, 0, 3);
    QCOMPARE(rig.recorder.events.size(), std::size_t(2 * 4));  // the frames of 0 and 100 ms
    QCOMPARE(rig.clock.now, Timer(125ms));
}

QTEST_GUILESS_MAIN(ReelsTest)
#include "test_reels.moc"
