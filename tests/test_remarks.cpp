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
    void theClosingRemarkComesTwoTimesInThree();
};

void RemarksTest::eachDrawnValueGivesItsRemark_data() {
    QTest::addColumn<bool>("closing");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("remark");
    // The closing remark of value 0 and the fallback are the same text.
    const char* closing[] = {"こんなん出ました!", "当たりますように!", "こんなのでました",
                             "こんなん出ました!", "こんなん出ました!", "こんなん出ました!"};
    // The two wishing remarks differ: hiragana and one "!", kanji and three.
    const char* waiting[] = {"あたりますように!",   "もうしばらくお待ちください",
                             "当たりますように!!!", "なにがでるかな???",
                             "なにがでるかな???",   "なにがでるかな???"};
    for (int value = 0; value <= 5; ++value) {
        QTest::addRow("capcap %d", value) << true << value << QString::fromUtf8(closing[value]);
        QTest::addRow("capcap2 %d", value) << false << value << QString::fromUtf8(waiting[value]);
    }
}

// Why: the texts are the program's own and must stand exactly, ASCII marks included; only
// the closing remark beeps, after its caption is set; the drawn value is given back.
void RemarksTest::eachDrawnValueGivesItsRemark() {
    QFETCH(bool, closing);
    QFETCH(int, value);
    QFETCH(QString, remark);
    VirtualClock clock;
    Recorder recorder(clock);
    recorder.setCaption(messageLine, "抽選は毎週木曜日");
    ScriptedRandom random;
    random.queue({value}, 5, 0);
    Remarks remarks(recorder, random, recorder);

    const Number given = closing ? remarks.capcap() : remarks.capcap2();

    QCOMPARE(given, value);
    QCOMPARE(QString::fromStdString(recorder.caption(messageLine)), remark);
    QCOMPARE(random.draws, 1);
    if (closing) {
        QCOMPARE(recorder.events.size(), std::size_t(3));
        QCOMPARE(recorder.events.back().what, std::string("beep"));
    } else {
        QCOMPARE(recorder.events.size(), std::size_t(2));
    }
}

// Why: value 0 and the shared fallback row carry the same remark; over many seeded draws it
// must come about 2/3 of the time and the waiting fallback about 1/2.
void RemarksTest::theClosingRemarkComesTwoTimesInThree() {
    VirtualClock clock;
    Recorder recorder(clock);
    SeededRandom random;
    random.seed(7);
    Remarks remarks(recorder, random, recorder);
    constexpr int calls = 60000;
    int usual = 0;
    int wondering = 0;
    for (int i = 0; i < calls; ++i) {
        remarks.capcap();
        usual += recorder.caption(messageLine) == "こんなん出ました!";
        remarks.capcap2();
        wondering += recorder.caption(messageLine) == "なにがでるかな???";
    }
    QVERIFY(std::abs(usual / double(calls) - 2.0 / 3.0) < 0.01);
    QVERIFY(std::abs(wondering / double(calls) - 0.5) < 0.01);
    QCOMPARE(recorder.beeps(), calls);
}

QTEST_GUILESS_MAIN(RemarksTest)
#include "test_remarks.moc"
