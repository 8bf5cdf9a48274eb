// The window as the user meets it: its controls, places, fonts, texts, focus and what it
// shows at start; and one short forecast through the real event loop.

#include <QAccessible>
#include <QColorSpace>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "app/layout.h"
#include "app/ostavelwindow.h"
#include "remarks/remarks.h"
#include "runtime/qtservices.h"
#include "tests/fakes.h"

using namespace ostavel;
using namespace ostavel::testing;

Q_DECLARE_METATYPE(Qt::Alignment)

namespace {

const Edition snow{{64, 64, 64}};

// A window on fake services, for everything that does not need time to pass.
struct FakeWindow {
    VirtualClock clock;
    VirtualPump pump{clock};
    ScriptedRandom random;
    Recorder beeper{clock};
    OstavelWindow window{snow, {random, clock, pump, beeper}};
};

// Records what the headline and message line show when the window is first painted.
class FirstPaintWatcher final : public QObject {
public:
    explicit FirstPaintWatcher(OstavelWindow& window) : window_(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            headline = window_.label(Label::Label8)->text();
            message = window_.label(Label::Label7)->text();
        }
        return QObject::eventFilter(watched, event);
    }
    bool painted = false;
    QString headline;
    QString message;

private:
    OstavelWindow& window_;
};

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowIsFixedAndTitled();
    void everyControlHasItsNamePlaceAndText_data();
    void everyControlHasItsNamePlaceAndText();
    void labelsLookAsTheLayoutSays_data();
    void labelsLookAsTheLayoutSays();
    void fontsResolveToInstalledFaces();
    void onlyTheButtonsTakeFocusInTheirTabOrder();
    void startUpTextsAreThereBeforeTheFirstPaint();
    void thePictureIsDrawnUnscaledAndCutOff();
    void everyLabelAndButtonSpeaksItsText();
    void aNumbersThreeForecastRunsThroughTheRealEventLoop();
};

void WindowTest::theWindowIsFixedAndTitled() {
    FakeWindow w;
    QCOMPARE(w.window.windowTitle(), QStringLiteral("Ostavel★"));
    QCOMPARE(w.window.objectName(), QStringLiteral("Ostavel"));
    QCOMPARE(w.window.size(), QSize(421, 279));
    QCOMPARE(w.window.minimumSize(), w.window.maximumSize());
    QVERIFY(!w.window.windowIcon().isNull());
    QCOMPARE(w.window.windowIcon().availableSizes().value(0), QSize(32, 32));
}

void WindowTest::everyControlHasItsNamePlaceAndText_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<QString>("text");
    // Left, top, width, height in pixels; the layout gives them in twips (15 to a pixel).
    QTest::newRow("miniroto") << "miniroto" << QRect(48, 208, 73, 25) << "ミニロト";
    QTest::newRow("roto6") << "roto6" << QRect(128, 208, 73, 25) << "ロト6";
    QTest::newRow("Numbers3") << "Numbers3" << QRect(208, 208, 73, 25) << "Numbers3";
    QTest::newRow("Numbers4") << "Numbers4" << QRect(296, 208, 73, 25) << "Numbers4";
    for (int i = 1; i <= 6; ++i) {
        QTest::addRow("Label%d", i) << QStringLiteral("Label%1").arg(i)
                                    << QRect(32 + 64 * (i - 1), 64, 36, 28) << QString();
    }
    QTest::newRow("Label7") << "Label7" << QRect(128, 184, 169, 33) << "by Tovaine";
    QTest::newRow("Label8") << "Label8" << QRect(80, 8, 257, 33) << "Ostavel";
}

// Why: the labels must sit in the bubbles of the picture, which is fixed to the pixel.
void WindowTest::everyControlHasItsNamePlaceAndText() {
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    QFETCH(QString, text);
    FakeWindow w;
    auto* control = w.window.findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->parentWidget(), &w.window);
    QCOMPARE(control->geometry(), pixels);
    QVERIFY(control->isEnabled() && !control->isHidden());
    const auto* button = qobject_cast<QPushButton*>(control);
    QCOMPARE(button ? button->text() : qobject_cast<QLabel*>(control)->text(), text);
    if (button != nullptr) {
        QVERIFY(!button->isDefault() && !button->autoDefault());
    }
    if (!button) {
        QVERIFY(pixels.width() > 0 && pixels.height() > 0);
    }
    QCOMPARE(w.window.findChildren<QWidget*>().size(), 13);
}

void WindowTest::labelsLookAsTheLayoutSays_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("opaque");
    QTest::addColumn<Qt::Alignment>("alignment");
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;
    for (int i = 1; i <= 6; ++i) {
        QTest::addRow("Label%d", i) << QStringLiteral("Label%1").arg(i) << 16 << true
                                    << QColor(Qt::black) << true << centred;
    }
    QTest::newRow("Label7") << "Label7" << 13 << false << QColor(64, 64, 64) << false << centred;
    QTest::newRow("Label8") << "Label8" << 21 << true << QColor(255, 255, 192) << false << centred;
    QTest::newRow("Label9") << "Label9" << -1 << false << QColor(64, 64, 64) << false
                            << (Qt::AlignLeft | Qt::AlignTop);
}

void WindowTest::labelsLookAsTheLayoutSays() {
    QFETCH(QString, name);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    QFETCH(QColor, colour);
    QFETCH(bool, opaque);
    QFETCH(Qt::Alignment, alignment);
    FakeWindow w;
    auto* label = w.window.findChild<QLabel*>(name);
    QVERIFY(label != nullptr);
    if (pixelSize > 0) {
        QCOMPARE(label->font().pixelSize(), pixelSize);
    }
    QCOMPARE(label->font().bold(), bold);
    QVERIFY(!label->font().italic() && !label->font().underline() && !label->font().strikeOut());
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    QCOMPARE(label->autoFillBackground(), opaque);
    if (opaque) {
        QCOMPARE(label->palette().color(QPalette::Window), QColor(Qt::white));
    }
    QCOMPARE(label->alignment(), alignment);
    QVERIFY(label->testAttribute(Qt::WA_TransparentForMouseEvents));
}

// Why: a family that is not installed would silently fall back to some other face and
// change every text's width.
void WindowTest::fontsResolveToInstalledFaces() {
    FakeWindow w;
    const QStringList installed = QFontDatabase::families();
    const QStringList gothic{"ＭＳ Ｐゴシック", "IPAPGothic", "Noto Sans CJK JP"};
    for (const char* name : {"Label7", "Label8"}) {
        const QFontInfo info(w.window.findChild<QLabel*>(name)->font());
        QVERIFY2(gothic.contains(info.family()), qPrintable(info.family()));
        QVERIFY(installed.contains(info.family()));
        QCOMPARE(info.pixelSize(), w.window.findChild<QLabel*>(name)->font().pixelSize());
    }
    const QFontInfo number(w.window.label(Label::Label1)->font());
    QVERIFY2(number.family() == "Terminal" || number.family() == "DejaVu Sans Mono",
             qPrintable(number.family()));
    QVERIFY(number.fixedPitch());
    QVERIFY(number.bold());
}

// Why: keyboard users start on Mini Loto and Tab through the four buttons only.
void WindowTest::onlyTheButtonsTakeFocusInTheirTabOrder() {
    FakeWindow w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QStringList order;
    QWidget* focused = QApplication::focusWidget();
    for (int i = 0; i < 5 && focused != nullptr; ++i) {
        order << focused->objectName();
        QTest::keyClick(focused, Qt::Key_Tab);
        focused = QApplication::focusWidget();
    }
    QCOMPARE(order, QStringList({"miniroto", "roto6", "Numbers3", "Numbers4", "miniroto"}));
    for (auto* label : w.window.findChildren<QLabel*>()) {
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }
}

// Why: the user must never see the headline or the message line empty, and no number may
// be drawn from an unseeded generator.
void WindowTest::startUpTextsAreThereBeforeTheFirstPaint() {
    FakeWindow w;
    QCOMPARE(w.random.randomizeCalls, 1);
    QCOMPARE(w.random.draws, 0);
    FirstPaintWatcher watcher(w.window);
    w.window.installEventFilter(&watcher);
    w.window.show();
    QTRY_VERIFY(watcher.painted);
    QCOMPARE(watcher.headline, QStringLiteral("Ostavel"));
    QCOMPARE(watcher.message, QStringLiteral("by Tovaine"));
    const QString credit = w.window.label(Label::Label9)->text();
    QVERIFY(credit.contains("Tovaine"));
    QVERIFY(credit.endsWith("@example.com"));
}

// Why: a stretched picture would move the bubbles away from the labels.
void WindowTest::thePictureIsDrawnUnscaledAndCutOff() {
    FakeWindow w;
    const QImage picture(QStringLiteral(":/ostavel/background.png"));
    QCOMPARE(picture.size(), layout::pictureSize);
    for (auto* child : w.window.findChildren<QWidget*>()) {
        child->hide();
    }
    const QImage shown = w.window.grab().toImage().convertToFormat(QImage::Format_RGB888);
    QCOMPARE(shown.size(), QSize(421, 279));
    QImage expected = picture.copy(0, 0, 421, 279).convertToFormat(QImage::Format_RGB888);
    expected.setColorSpace(shown.colorSpace());  // the file's sRGB tag, which a grab lacks
    QCOMPARE(shown, expected);
}

void WindowTest::everyLabelAndButtonSpeaksItsText() {
    FakeWindow w;
    w.window.setCaption(Label::Label3, "17");
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&w.window);
    QVERIFY(window != nullptr);
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Ostavel★"));
    for (const char* name : {"Label3", "Label7", "Label8", "Label9", "roto6", "miniroto"}) {
        auto* control = w.window.findChild<QWidget*>(name);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY(accessible != nullptr);
        const QString text = qobject_cast<QLabel*>(control)
                                 ? qobject_cast<QLabel*>(control)->text()
                                 : qobject_cast<QPushButton*>(control)->text();
        QCOMPARE(accessible->text(QAccessible::Name), text);
    }
}

// Why: the whole chain (button, handler, reels, paced wait on the real clock and event loop)
// must work together; Numbers 3 is the shortest forecast, 2.46 s.
void WindowTest::aNumbersThreeForecastRunsThroughTheRealEventLoop() {
    SteadyClock clock;
    QtEventPump pump(clock);
    SeededRandom random;
    VirtualClock unused;
    Recorder beeper(unused);
    OstavelWindow window(snow, {random, clock, pump, beeper});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const Timer start = clock.GetTimer();
    QTest::mouseClick(window.findChild<QPushButton*>("Numbers3"), Qt::LeftButton);
    QVERIFY(clock.GetTimer() - start >= std::chrono::milliseconds(2460));

    QCOMPARE(window.label(Label::Label8)->text(), QStringLiteral("Numbers3の予想だよ"));
    QStringList digits;
    for (int p = 1; p <= 3; ++p) {
        const QString text = window.label(numberLabel(p))->text();
        QVERIFY2(text.size() == 1 && text[0].isDigit(), qPrintable(text));
        digits << text;
    }
    QVERIFY(!(digits[0] == digits[1] && digits[1] == digits[2]));
    for (int p = 4; p <= 6; ++p) {
        QCOMPARE(window.label(numberLabel(p))->text(), QString());
    }
    const std::string closing = window.label(Label::Label7)->text().toStdString();
    QVERIFY(std::find(closingRemarks.begin(), closingRemarks.end(), closing) !=
            closingRemarks.end());
    QCOMPARE(beeper.beeps(), 1);
}

QTEST_MAIN(WindowTest)
#include "test_window.moc"
