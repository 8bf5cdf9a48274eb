// The remark pickers: which remark each drawn value gives, and the closing beep.

#include <QtTest>

#include "remarks/remarks.h"
#include "tests/fakes.h"

using namespace ostavel;
using namespace ostavel::testing;

class RemarksTest : public QObject {
    Q_OBJECT

private slots:
    void eachDrawnValueGivesItsRemark_data();
    void eachDrawnValueGivesItsRemark();
};

void RemarksTest::eachDrawnValueGivesItsRemark_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("closing");
    QTest::addColumn<QString>("waiting");
    // The closing remark of 0 and the fallback row are the same text. The two wishing remarks
    // differ: hiragana and one "!", kanji and three.
    QTest::newRow("0") << 0 << "こんなん出ました!"
                       << "あたりますように!";
    QTest::newRow("1") << 1 << "当たりますように!"
                       << "もうしばらくお待ちください";
    QTest::newRow("2") << 2 << "こんなのでました"
                       << "当たりますように!!!";
    for (int value = 3; value <= 5; ++value) {
        QTest::addRow("%d", value) << value << "こんなん出ました!"
                                   << "なにがでるかな???";
    }
}

// Why: the texts are the program's own and must stand exactly, ASCII marks included. Each
// replaces the whole message line; only the closing remark beeps, once, after its caption.
void RemarksTest::eachDrawnValueGivesItsRemark() {
    QFETCH(int, value);
    QFETCH(QString, closing);
    QFETCH(QString, waiting);
    VirtualClock clock;
    Recorder recorder(clock);
    recorder.setCaption(messageLine, "抽選は毎週木曜日");
    ScriptedRandom random;
    random.queue({value, value}, 5, 0);
    Remarks remarks(recorder, random, recorder);

    QCOMPARE(remarks.capcap2(), value);
    QCOMPARE(QString::fromStdString(recorder.caption(messageLine)), waiting);
    QCOMPARE(remarks.capcap(), value);
    QCOMPARE(QString::fromStdString(recorder.caption(messageLine)), closing);
    QCOMPARE(recorder.events.back().what, std::string("beep"));
    QCOMPARE(recorder.events.size(), std::size_t(4));
    QCOMPARE(random.draws, 2);
}

QTEST_GUILESS_MAIN(RemarksTest)
#include "test_remarks.moc"
