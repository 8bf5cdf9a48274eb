// The window as the user meets it: its controls, places, fonts, texts, focus, what it shows at
// start, and the pictures its number labels sit on.

#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <ctime>

#include "app/qt/ostavelwindow.h"
#include "app/qt/qtservices.h"
#include "app/windowlayout.h"
#include "tests/fakes.h"

using namespace ostavel;
using namespace ostavel::testing;

namespace {

// A window on the virtual services, for everything that does not need time to pass.
struct FakeWindow : Rig {
    OstavelWindow window{thisEdition, {random, clock, pump, recorder}};  // the first edition
};

// name, pixel geometry, initial text; for labels also the faces that may stand for its font
// (none: the toolkit's label font), pixel size, bold, text colour, opaque, alignment.
struct Control {
    const char* name;
    QRect pixels;
    const char* text;
    const char* faces = nullptr;
    int pixelSize = 0;
    bool bold = false;
    QColor colour = {};
    bool opaque = false;
    Qt::Alignment alignment = {};
};

const char* const terminal = "Terminal|DejaVu Sans Mono";  // a bold fixed-pitch face
const char* const gothic = "ＭＳ Ｐゴシック|IPAPGothic|Noto Sans CJK JP";
const QColor grey(64, 64, 64), paleYellow(255, 255, 192);
const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop, left = Qt::AlignLeft | Qt::AlignTop;
const Control controls[] = {
    {"miniroto", {48, 208, 73, 25}, "ミニロト"},
    {"roto6", {128, 208, 73, 25}, "ロト6"},
    {"Numbers3", {208, 208, 73, 25}, "Numbers3"},
    {"Numbers4", {296, 208, 73, 25}, "Numbers4"},
    {"Label1", {32, 64, 36, 28}, "", terminal, 16, true, Qt::black, true, centred},
    {"Label2", {96, 64, 36, 28}, "", terminal, 16, true, Qt::black, true, centred},
    {"Label3", {160, 64, 36, 28}, "", terminal, 16, true, Qt::black, true, centred},
    {"Label4", {224, 64, 36, 28}, "", terminal, 16, true, Qt::black, true, centred},
    {"Label5", {288, 64, 36, 28}, "", terminal, 16, true, Qt::black, true, centred},
    {"Label6", {352, 64, 36, 28}, "", terminal, 16, true, Qt::black, true, centred},
    {"Label7", {128, 184, 169, 33}, thisEdition.byline, gothic, 13, false, grey, false, centred},
    {"Label8", {80, 8, 257, 33}, "Ostavel", gothic, 21, true, paleYellow, false, centred},
    {"Label9", {64, 256, 289, 17}, thisEdition.creditLine, nullptr, 0, false, grey, false, left},
};

// The pictures are 4 px larger each way than the window, which cuts the excess off, and the
// white interior of bubble p spans x = 24 + 64 (p - 1) to 76 + 64 (p - 1), y = 54 to 101.
const QSize pictureSize(425, 283);
QRect bubbleInterior(int p) {
    return QRect(QPoint(24 + 64 * (p - 1), 54), QPoint(76 + 64 * (p - 1), 101));
}

QImage asset(const QString& name) {
    return QImage(QStringLiteral(OSTAVEL_ASSET_DIR "/") + name);
}

// The bounding box of the pure-white pixels 4-connected to a seed: the bubble's interior.
QRect whiteRegion(const QImage& image, QPoint seed) {
    QRect bounds(seed, seed);
    QList<QPoint> todo{seed};
    QImage seen(image.size(), QImage::Format_Mono);
    seen.fill(0);
    while (!todo.isEmpty()) {
        const QPoint p = todo.takeLast();
        if (!image.rect().contains(p) || seen.pixelIndex(p) ||
            image.pixel(p) != qRgb(255, 255, 255)) {
            continue;
        }
        seen.setPixel(p, 1);
        bounds |= QRect(p, p);
        todo << p + QPoint(1, 0) << p - QPoint(1, 0) << p + QPoint(0, 1) << p - QPoint(0, 1);
    }
    return bounds;
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    // Why: the labels must sit in the bubbles of the picture, which is fixed to the pixel, and
    // each text must read in the face, size, colour and alignment it was laid out for.
    void everyControlHasItsNamePlaceTextAndLook() {
        FakeWindow w;
        QCOMPARE(w.window.windowTitle(), QStringLiteral("Ostavel★"));
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
            QCOMPARE(button ? button->text() : label->text(), QString::fromUtf8(c.text));
            if (button) {
                QVERIFY(!button->isDefault() && !button->autoDefault());
                continue;
            }
            if (c.faces) {  // the face in use, not only the one asked for
                const QFontInfo face(label->font());
                QVERIFY2(QString(c.faces).split('|').contains(face.family()), c.name);
                QCOMPARE(face.pixelSize(), c.pixelSize);
                QCOMPARE(face.fixedPitch(), c.faces == terminal);
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

    // Why: keyboard users start on Mini Loto and Tab through the four buttons only; Enter, the
    // keypad's Enter and Space each run the focused button's forecast once per press, a held key's
    // repeats none.
    void keysRunTheFocusedButtonOncePerPressAndTabVisitsTheButtons() {
        FakeWindow w;
        w.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
            {Qt::Key_Return, Qt::NoModifier},
            {Qt::Key_Enter, Qt::KeypadModifier},
            {Qt::Key_Space, Qt::NoModifier}};
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), keys[i].first, keys[i].second);
            QKeyEvent repeat(QEvent::KeyPress, keys[i].first, keys[i].second, QString(), true);
            QApplication::sendEvent(QApplication::focusWidget(), &repeat);
            QCOMPARE(w.recorder.beeps(), i + 1);
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
    void startUpWritesBothTextsThenSeedsBeforeAnyDraw() {
        Rig s;
        QStringList seenAtSeed;  // the headline and the message line, at each seeding
        s.random.onRandomize = [&] {
            QMap<QString, QString> texts;
            for (QWidget* widget : QApplication::allWidgets()) {
                texts[widget->objectName()] = widget->property("text").toString();
            }
            seenAtSeed << texts["Label8"] << texts["Label7"];
        };
        OstavelWindow window(thisEdition, {s.random, s.clock, s.pump, s.recorder});
        QCOMPARE(seenAtSeed, QStringList({"Ostavel", thisEdition.byline}));
        QCOMPARE(s.random.next, std::size_t(0));
    }

    // Why: the reels are paced by sleeping in the event loop; a wait that spun would keep a
    // processor busy for the whole forecast.
    void aForecastOnTheRealClockSleepsThroughItsWaits() {
        Rig s;
        SteadyClock clock;
        QtEventPump pump(clock);
        OstavelWindow window(thisEdition, {s.random, clock, pump, s.recorder});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const std::clock_t processor = std::clock();
        const Timer start = clock.GetTimer();
        QTest::mouseClick(window.findChild<QPushButton*>("Numbers3"), Qt::LeftButton);
        const std::chrono::duration<double> wall = clock.GetTimer() - start;
        const double ratio = double(std::clock() - processor) / CLOCKS_PER_SEC / wall.count();
        QVERIFY2(wall >= leastRunningTime(numbers3Game) && ratio < 0.2,
                 qPrintable(QString::number(ratio)));
    }

    // Why: the bubbles are fixed to the pixel under the labels, so the picture is drawn unscaled
    // from the corner, and a 2x screen gets the 2x picture, not the 1x one magnified. ctest runs
    // this once more with QT_SCALE_FACTOR=2.
    void theBackgroundIsTheScreensPictureUnscaled() {
        FakeWindow w;
        qDeleteAll(w.window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly));  // the picture
        const QImage shown = w.window.grab().toImage();
        const bool twice = qEnvironmentVariableIntValue("QT_SCALE_FACTOR") == 2;
        const QImage expected = asset(twice ? "snow@2x.png" : "snow.png").copy(shown.rect());
        QCOMPARE(shown, expected.convertToFormat(shown.format()));
    }

    void bubbleInteriorsArePureWhereTheLabelsSit_data() {
        QTest::addColumn<int>("scale");
        QTest::newRow("1x") << 1;
        QTest::newRow("2x") << 2;
    }

    // Why: the opaque white number labels would show as boxes wherever the bubble is not white,
    // a bubble that leaks into the scene is no longer a bubble, and both editions share them.
    void bubbleInteriorsArePureWhereTheLabelsSit() {
        QFETCH(int, scale);
        const QString suffix = scale == 1 ? ".png" : "@2x.png";
        const QImage snow = asset("snow" + suffix), stage = asset("stage" + suffix);
        for (const QImage& picture : {snow, stage}) {
            QCOMPARE(picture.size(), pictureSize * scale);
            QVERIFY(!picture.hasAlphaChannel() && picture.depth() >= 24);
        }
        const auto scaled = [scale](const QRect& r) {
            return QRect(r.topLeft() * scale, r.size() * scale);
        };
        for (int p = 1; p <= 6; ++p) {
            const QRect label = scaled(controls[std::size_t(p) + 3].pixels);
            const QRect interior = scaled(bubbleInterior(p));
            for (const QImage& picture : {snow, stage}) {
                QCOMPARE(whiteRegion(picture, label.center()), interior);
                QImage white = picture.copy(label);
                white.fill(Qt::white);
                QCOMPARE(picture.copy(label), white);
            }
            QCOMPARE(snow.copy(interior).createMaskFromColor(qRgb(255, 255, 255)),
                     stage.copy(interior).createMaskFromColor(qRgb(255, 255, 255)));
        }
    }

    void theIconIsAnOpaqueThirtyTwoPixelPaletteImage() {
        const QImage icon = asset("icon-32.png");
        QVERIFY(icon.size() == QSize(32, 32) && icon.colorCount() > 0 && icon.colorCount() <= 256);
        QVERIFY(std::ranges::all_of(icon.colorTable(), [](QRgb c) { return qAlpha(c) == 255; }));
    }
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"
