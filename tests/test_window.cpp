// The window as the user meets it: its controls, places, fonts, texts, focus and what it
// shows at start; and one short forecast through the real clock and event loop.

#include <QAccessible>
#include <QColorSpace>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "app/layout.h"
#include "app/ostavelwindow.h"
#include "runtime/qtservices.h"
#include "tests/fakes.h"

using namespace ostavel;
using namespace ostavel::testing;

namespace {

const Edition snow{{64, 64, 64}, "com.example.tovaine.OstavelSnow"};

// A window on fake services, for everything that does not need time to pass. The generator is
// made before the window, so a test can watch the seeding at start-up.
struct FakeServices {
    VirtualClock clock;
    VirtualPump pump{clock};
    ScriptedRandom random;
    Recorder beeper{clock};
};
struct FakeWindow : FakeServices {
    OstavelWindow window{snow, {random, clock, pump, beeper}};
};

// name, pixel geometry, initial text, pixel size (0: the default font), bold, text colour,
// opaque, alignment; buttons have only the first three.
struct Control {
    const char* name;
    QRect pixels;
    const char* text;
    int pixelSize = 0;
    bool bold = false;
    QColor colour = {};
    bool opaque = false;
    Qt::Alignment alignment = {};
};

const QColor grey(64, 64, 64);
const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;
const Control controls[] = {
    {"miniroto", {48, 208, 73, 25}, "ミニロト"},
    {"roto6", {128, 208, 73, 25}, "ロト6"},
    {"Numbers3", {208, 208, 73, 25}, "Numbers3"},
    {"Numbers4", {296, 208, 73, 25}, "Numbers4"},
    {"Label1", {32, 64, 36, 28}, "", 16, true, Qt::black, true, centred},
    {"Label2", {96, 64, 36, 28}, "", 16, true, Qt::black, true, centred},
    {"Label3", {160, 64, 36, 28}, "", 16, true, Qt::black, true, centred},
    {"Label4", {224, 64, 36, 28}, "", 16, true, Qt::black, true, centred},
    {"Label5", {288, 64, 36, 28}, "", 16, true, Qt::black, true, centred},
    {"Label6", {352, 64, 36, 28}, "", 16, true, Qt::black, true, centred},
    {"Label7", {128, 184, 169, 33}, "by Tovaine", 13, false, grey, false, centred},
    {"Label8", {80, 8, 257, 33}, "Ostavel", 21, true, QColor(255, 255, 192), false, centred},
    {"Label9", {64, 256, 289, 17}, nullptr, 0, false, grey, false, Qt::AlignLeft | Qt::AlignTop},
};

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlHasItsNamePlaceTextAndLook();
    void fontsResolveToTheirInstalledSubstitutes();
    void onlyTheButtonsTakeFocusInTheirTabOrder();
    void startUpTextsAreThereBeforeTheFirstPaint();
    void thePictureIsDrawnUnscaledAndCutOff();
    void aNumbersThreeForecastRunsThroughTheRealEventLoop();
};

// Why: the labels must sit in the bubbles of the picture, which is fixed to the pixel, and
// every control must speak its text to assistive technology.
void WindowTest::everyControlHasItsNamePlaceTextAndLook() {
    FakeWindow w;
    QCOMPARE(w.window.windowTitle(), QStringLiteral("Ostavel★"));
    QCOMPARE(QAccessible::queryAccessibleInterface(&w.window)->text(QAccessible::Name),
             w.window.windowTitle());
    QCOMPARE(w.window.objectName(), QStringLiteral("Ostavel"));
    QCOMPARE(w.window.minimumSize(), QSize(421, 279));
    QCOMPARE(w.window.maximumSize(), QSize(421, 279));
    QCOMPARE(w.window.windowIcon().availableSizes(), QList<QSize>{QSize(32, 32)});
    QCOMPARE(w.window.findChildren<QWidget*>().size(), 13);
    for (const Control& c : controls) {
        auto* widget = w.window.findChild<QWidget*>(c.name);
        QVERIFY2(widget && widget->parentWidget() == &w.window, c.name);
        QCOMPARE(widget->geometry(), c.pixels);
        QVERIFY(widget->isEnabled() && !widget->isHidden());
        auto* button = qobject_cast<QPushButton*>(widget);
        auto* label = qobject_cast<QLabel*>(widget);
        const QString text = button ? button->text() : label->text();
        if (c.text) {
            QCOMPARE(text, QString::fromUtf8(c.text));
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), text);
        if (button) {
            QVERIFY(!button->isDefault() && !button->autoDefault());
            continue;
        }
        if (c.pixelSize > 0) {
            QCOMPARE(label->font().pixelSize(), c.pixelSize);
        } else {
            QCOMPARE(label->font(), QApplication::font(label));  // the toolkit's label font
        }
        QCOMPARE(label->font().bold(), c.bold);
        QVERIFY(!label->font().italic() && !label->font().underline() &&
                !label->font().strikeOut());
        QCOMPARE(label->palette().color(QPalette::WindowText), c.colour);
        QCOMPARE(label->autoFillBackground(), c.opaque);
        QVERIFY(!c.opaque || label->palette().color(QPalette::Window) == Qt::white);
        QCOMPARE(label->alignment(), c.alignment);
        QVERIFY(label->testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }
}

// Why: a family that is not installed falls back silently to some face that changes every
// text's width; the number labels need a bold fixed-pitch face.
void WindowTest::fontsResolveToTheirInstalledSubstitutes() {
    FakeWindow w;
    const QStringList gothic{"ＭＳ Ｐゴシック", "IPAPGothic", "Noto Sans CJK JP"};
    for (Label label : {Label::Label7, Label::Label8}) {
        const QFontInfo info(w.window.label(label)->font());
        QVERIFY2(gothic.contains(info.family()), qPrintable(info.family()));
        QCOMPARE(info.pixelSize(), w.window.label(label)->font().pixelSize());
    }
    const QFontInfo number(w.window.label(Label::Label1)->font());
    QVERIFY2(QStringList({"Terminal", "DejaVu Sans Mono"}).contains(number.family()),
             qPrintable(number.family()));
    QVERIFY(number.fixedPitch() && number.bold());
}

// Why: keyboard users start on Mini Loto and Tab through the four buttons only; Enter, the
// keypad's Enter and Space each run the focused button's forecast once per press, a held key's
// repeats none.
void WindowTest::onlyTheButtonsTakeFocusInTheirTabOrder() {
    FakeWindow w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Return, Qt::NoModifier},
        {Qt::Key_Enter, Qt::KeypadModifier},
        {Qt::Key_Space, Qt::NoModifier},
    };
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), keys[i].first, keys[i].second);
        QKeyEvent repeat(QEvent::KeyPress, keys[i].first, keys[i].second, QString(), true);
        QApplication::sendEvent(QApplication::focusWidget(), &repeat);
        QCOMPARE(w.beeper.beeps(), i + 1);
    }
    QCOMPARE(w.window.label(Label::Label8)->text(), QStringLiteral("ミニロトの予想です!"));
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order, QStringList({"miniroto", "roto6", "Numbers3", "Numbers4", "miniroto"}));
}

// Why: the user must never see the headline or the message line empty, and the generator is
// seeded once, after both are written, before any number is drawn.
void WindowTest::startUpTextsAreThereBeforeTheFirstPaint() {
    const auto labelText = [](const char* name) {
        for (QWidget* widget : QApplication::allWidgets()) {
            if (widget->objectName() == QLatin1String(name)) {
                return qobject_cast<QLabel*>(widget)->text();
            }
        }
        return QString();
    };
    FakeServices s;
    QStringList seenAtSeed;
    s.random.onRandomize = [&] { seenAtSeed << labelText("Label8") << labelText("Label7"); };
    OstavelWindow window(snow, {s.random, s.clock, s.pump, s.beeper});
    QCOMPARE(seenAtSeed, QStringList({"Ostavel", "by Tovaine"}));
    QCOMPARE(s.random.draws, 0);
    struct FirstPaint final : QObject {
        QStringList texts;
        OstavelWindow* window = nullptr;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && texts.isEmpty()) {
                texts << window->label(Label::Label8)->text()
                      << window->label(Label::Label7)->text();
            }
            return false;
        }
    } watcher;
    watcher.window = &window;
    window.installEventFilter(&watcher);
    window.show();
    QTRY_VERIFY(!watcher.texts.isEmpty());
    QCOMPARE(watcher.texts, QStringList({"Ostavel", "by Tovaine"}));
    const QString credit = window.label(Label::Label9)->text();
    QVERIFY(credit.contains("Tovaine") && credit.endsWith("@example.com"));
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
    QImage expected = picture.copy(0, 0, 421, 279).convertToFormat(QImage::Format_RGB888);
    expected.setColorSpace(shown.colorSpace());  // the file's sRGB tag, which a grab lacks
    QCOMPARE(shown, expected);
}

// Why: the real pump must wait out every frame on the real clock, not return early, and the
// press must reach the forecast through the button; Numbers 3 is the shortest, 2.46 s.
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
    QCOMPARE(beeper.beeps(), 1);
}

QTEST_MAIN(WindowTest)
#include "test_window.moc"
