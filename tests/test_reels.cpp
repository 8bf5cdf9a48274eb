// The six reel routines: which labels each frame writes, how many frames, how long each.

#include <QtTest>

#include "reels/reels.h"
#include "tests/fakes.h"

using namespace ostavel;
using namespace ostavel::testing;

Q_DECLARE_METATYPE(std::chrono::milliseconds)

struct Rig {
    VirtualClock clock;
    VirtualPump pump{clock};
    Pacer pacer{clock, pump};
    Recorder recorder{clock};
    ScriptedRandom random;
    Reels reels{recorder, random, pacer};
};

class ReelsTest : public QObject {
    Q_OBJECT

private slots:
    void eachFrameSpinsOrBlanksItsPositionsThenWaits_data();
    void eachFrameSpinsOrBlanksItsPositionsThenWaits();
    void aRangeOfOneNumberShowsItInEverySpinningLabel();
    void closingTheWindowStopsTheSpinBeforeTheNextFrame();
};

void ReelsTest::eachFrameSpinsOrBlanksItsPositionsThenWaits_data() {
    QTest::addColumn<int>("routine");
    QTest::addColumn<int>("frames");
    QTest::addColumn<std::chrono::milliseconds>("delay");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("shown");
    struct Row {
        int routine;
        int frames;
        std::chrono::milliseconds delay;
    };
    // Frames are one more than the last frame counter: 31, not 30.
    const Row rows[] = {{1, 31, 10ms}, {2, 21, 50ms}, {3, 11, 100ms},
                        {4, 7, 300ms}, {5, 4, 500ms}, {6, 6, 700ms}};
    // Any max but 3, 4 and 5 shows all six positions.
    const std::pair<int, int> maxima[] = {{3, 3}, {4, 4}, {5, 5}, {6, 6}, {0, 6}, {2, 6}, {7, 6}};
    for (const Row& row : rows) {
        for (const auto& [max, shown] : maxima) {
            QTest::addRow("kurukuru%d max %d", row.routine, max)
                << row.routine << row.frames << row.delay << max << shown;
        }
    }
}

// Why: this is the whole animation; a wrong frame count, delay, order or blank shows at once.
void ReelsTest::eachFrameSpinsOrBlanksItsPositionsThenWaits() {
    QFETCH(int, routine);
    QFETCH(int, frames);
    QFETCH(std::chrono::milliseconds, delay);
    QFETCH(int, max);
    QFETCH(int, shown);
    Rig rig;
    (rig.reels.*reelRoutines[static_cast<std::size_t>(routine - 1)])(43, 1,
                                                                     static_cast<Number>(max));

    const auto& events = rig.recorder.events;
    const int writesPerFrame = positionCount - routine + 1;
    QCOMPARE(static_cast<int>(events.size()), frames * writesPerFrame);
    for (int frame = 0; frame < frames; ++frame) {
        for (int p = routine; p <= positionCount; ++p) {
            const Event& e = events[static_cast<std::size_t>(frame * writesPerFrame + p - routine)];
            QCOMPARE(e.time, Timer(delay * frame));
            const std::string prefix = "L" + std::to_string(p) + "=";
            QVERIFY2(e.what.rfind(prefix, 0) == 0, e.what.c_str());
            const std::string text = e.what.substr(prefix.size());
            if (p <= shown) {
                const int number = std::stoi(text);
                QVERIFY(number >= 1 && number <= 43);
                QCOMPARE(QString::number(number).toStdString(), text);
            } else {
                QCOMPARE(text, std::string());
            }
        }
    }
    QCOMPARE(rig.clock.now, Timer(delay * frames));
    QCOMPARE(rig.random.draws, frames * std::max(0, shown - routine + 1));
}

void ReelsTest::aRangeOfOneNumberShowsItInEverySpinningLabel() {
    Rig rig;
    rig.reels.kurukuru(7, 7, 4);
    for (const Event& e : rig.recorder.events) {
        const bool spinning = e.what[1] <= '4';
        QCOMPARE(e.what.substr(3), std::string(spinning ? "7" : ""));
    }
}

// Why: once the window has closed, no control may be written again.
void ReelsTest::closingTheWindowStopsTheSpinBeforeTheNextFrame() {
    Rig rig;
    rig.pump.at(125ms, [&] { rig.pacer.stop(); });
    rig.reels.kurukuru3(9, 0, 3);
    // Frames at 0 and 100 ms were written; the one due at 200 ms was not.
    QCOMPARE(static_cast<int>(rig.recorder.events.size()), 2 * 4);
    QCOMPARE(rig.clock.now, Timer(125ms));
}

QTEST_GUILESS_MAIN(ReelsTest)
#include "test_reels.moc"
