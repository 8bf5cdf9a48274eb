// The runtime services every draw and every wait relies on.

#include <QtTest>
#include <array>
#include <cmath>
#include <span>
#include <thread>

#include "runtime/clock.h"
#include "runtime/numbertext.h"
#include "runtime/random.h"
#include "tests/fakes.h"

using namespace ostavel;
using namespace std::chrono_literals;

class RuntimeTest : public QObject {
    Q_OBJECT

private slots:
    void rangeEdgesGiveTheBoundsNeverOneBeyond_data();
    void rangeEdgesGiveTheBoundsNeverOneBeyond();
    void everyValueOfARangeIsReachedEquallyOften_data();
    void everyValueOfARangeIsReachedEquallyOften();
    void seededDrawsPassAChiSquareTest_data();
    void seededDrawsPassAChiSquareTest();
    void aRangeOfOneValueAlwaysGivesIt();
    void randomNextStaysBelowOne();
    void startsAMillisecondApartDrawDifferentSequences();
    void theClockIsMonotonicAndCountsRealTime();
    void numbersReadAsPlainDigits();
};

// The ranges the program draws from: remarks, digits, Mini Loto, Loto 6.
static void addRanges() {
    QTest::addColumn<int>("upperbound");
    QTest::addColumn<int>("lowerbound");
    QTest::newRow("remarks 0-5") << 5 << 0;
    QTest::newRow("digits 0-9") << 9 << 0;
    QTest::newRow("Mini Loto 1-31") << 31 << 1;
    QTest::newRow("Loto 6 1-43") << 43 << 1;
}

void RuntimeTest::rangeEdgesGiveTheBoundsNeverOneBeyond_data() {
    addRanges();
}

// Why: in single precision 43 * 0.99999994 + 1 rounds up to 44, one past the range.
void RuntimeTest::rangeEdgesGiveTheBoundsNeverOneBeyond() {
    QFETCH(int, upperbound);
    QFETCH(int, lowerbound);
    testing::ScriptedRandom random({0.0f, largestRandomNext});
    QCOMPARE(RandomInRange(random, upperbound, lowerbound), lowerbound);
    QCOMPARE(RandomInRange(random, upperbound, lowerbound), upperbound);
}

void RuntimeTest::everyValueOfARangeIsReachedEquallyOften_data() {
    addRanges();
}

// Why: any rounding in the mapping from [0, 1) to the range would favour some numbers. Every
// one of the 2^24 values RandomNext can give is mapped; the counts may differ by one at most.
void RuntimeTest::everyValueOfARangeIsReachedEquallyOften() {
    QFETCH(int, upperbound);
    QFETCH(int, lowerbound);
    std::array<int, 43> counts{};
    constexpr int steps = 1 << 24;
    std::vector<float> all(steps);
    for (int i = 0; i < steps; ++i) {
        all[static_cast<std::size_t>(i)] = static_cast<float>(i) * 0x1p-24f;
    }
    testing::ScriptedRandom random(std::move(all));
    for (int i = 0; i < steps; ++i) {
        const int value = RandomInRange(random, upperbound, lowerbound);
        QVERIFY(value >= lowerbound && value <= upperbound);
        ++counts[static_cast<std::size_t>(value - lowerbound)];
    }
    const auto used =
        std::span(counts).first(static_cast<std::size_t>(upperbound - lowerbound + 1));
    const auto [least, most] = std::minmax_element(used.begin(), used.end());
    QVERIFY2(*most - *least <= 1, qPrintable(QStringLiteral("%1 vs %2").arg(*least).arg(*most)));
}

void RuntimeTest::seededDrawsPassAChiSquareTest_data() {
    addRanges();
}

// Why: the real generator must feed RandomInRange uniformly; a bias in how its bits become a
// float would show here. Fixed seed, so the test is deterministic.
void RuntimeTest::seededDrawsPassAChiSquareTest() {
    QFETCH(int, upperbound);
    QFETCH(int, lowerbound);
    const int n = upperbound - lowerbound + 1;
    constexpr int draws = 200000;
    SeededRandom random;
    random.seed(20261207);
    std::vector<int> counts(static_cast<std::size_t>(n));
    for (int i = 0; i < draws; ++i) {
        ++counts[static_cast<std::size_t>(RandomInRange(random, upperbound, lowerbound) -
                                          lowerbound)];
    }
    const double expected = static_cast<double>(draws) / n;
    double chiSquare = 0;
    for (int count : counts) {
        chiSquare += (count - expected) * (count - expected) / expected;
    }
    // The 0.1 % critical value, by the Wilson-Hilferty approximation, for n - 1 degrees.
    const double k = n - 1;
    const double critical = k * std::pow(1 - 2 / (9 * k) + 3.09 * std::sqrt(2 / (9 * k)), 3);
    QVERIFY2(chiSquare < critical,
             qPrintable(QStringLiteral("chi2 %1 >= %2").arg(chiSquare).arg(critical)));
}

void RuntimeTest::aRangeOfOneValueAlwaysGivesIt() {
    testing::ScriptedRandom random({0.0f, 0.5f, largestRandomNext});
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(RandomInRange(random, 7, 7), 7);
    }
}

// Why: a generator that can give 1 draws upperbound + 1 about once in 16 million draws.
void RuntimeTest::randomNextStaysBelowOne() {
    SeededRandom random;
    random.seed(1);
    float largest = 0;
    for (int i = 0; i < 1000000; ++i) {
        const float r = random.RandomNext();
        QVERIFY(r >= 0.0f && r < 1.0f);
        largest = std::max(largest, r);
    }
    QVERIFY(largest > 0.999f);
}

// Why: the seed comes from the clock; a coarse clock would make two starts repeat each other.
void RuntimeTest::startsAMillisecondApartDrawDifferentSequences() {
    SeededRandom first;
    first.Randomize();
    std::this_thread::sleep_for(1ms);
    SeededRandom second;
    second.Randomize();
    std::array<float, 4> a{};
    std::array<float, 4> b{};
    for (std::size_t i = 0; i < a.size(); ++i) {
        a[i] = first.RandomNext();
        b[i] = second.RandomNext();
    }
    QVERIFY(a != b);
}

// Why: waits are measured on this clock; it must never step back and must follow real time.
void RuntimeTest::theClockIsMonotonicAndCountsRealTime() {
    SteadyClock clock;
    Timer previous = clock.GetTimer();
    for (int i = 0; i < 100000; ++i) {
        const Timer now = clock.GetTimer();
        QVERIFY(now >= previous);
        previous = now;
    }
    const Timer before = clock.GetTimer();
    std::this_thread::sleep_for(20ms);
    QVERIFY(clock.GetTimer() - before >= 20ms);
}

void RuntimeTest::numbersReadAsPlainDigits() {
    QCOMPARE(NumberText(0), std::string("0"));
    QCOMPARE(NumberText(7), std::string("7"));
    QCOMPARE(NumberText(43), std::string("43"));
}

QTEST_GUILESS_MAIN(RuntimeTest)
#include "test_runtime.moc"
