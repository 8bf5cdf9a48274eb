// The window as the user meets it: its controls, places, fonts, texts, focus, what it shows at
// start, and the pictures its number labels sit on.

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "app/qt/ostavelwindow.h"
#include "tests/fakes.h"

using namespace ostavel;
using namespace ostavel::testing;

namespace {

// A window on the virtual services, for everything that does not need time to pass.
struct FakeWindow : Rig {
    OstavelWindow window{thisEdition, {random, clock, pump, recorder}};  // the first edition
};

// The control of that name in tests/expected.json.
QJsonValue expectedControl(const QString& name) {
    const QJsonArray controls = expected["controls"].toArray();
    return *std::ranges::find_if(controls, [&](const QJsonValue& c) { return c["name"] == name; });
}
QRect rectOf(const QJsonValue& px) {
    return {px[0].toInt(), px[1].toInt(), px[2].toInt(), px[3].toInt()};
}

// The bounding box of the pure-white pixels 4-connected to a seed: the bubble's interior.
QRect whiteRegion(QImage image, QPoint seed) {
    QRect bounds(seed, seed);
    QList<QPoint> todo{seed};
    while (!todo.isEmpty()) {
        const QPoint p = todo.takeLast();
        if (!image.rect().contains(p) || image.pixel(p) != qRgb(255, 255, 255)) {
            continue;
        }
        image.setPixel(p, qRgb(0, 0, 0));  // seen
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
        const QSize size(expected["window"]["width"].toInt(), expected["window"]["height"].toInt());
        QCOMPARE(w.window.windowTitle(), expected["window"]["title"].toString());
        QCOMPARE(w.window.objectName(), QStringLiteral("Ostavel"));
        QVERIFY(w.window.minimumSize() == size && w.window.maximumSize() == size);
        QCOMPARE(w.window.windowIcon().availableSizes(), QList<QSize>{QSize(32, 32)});
        QCOMPARE(w.window.findChildren<QWidget*>().size(), 13);
        for (const QJsonValue c : expected["controls"].toArray()) {
            const QString name = c["name"].toString();
            auto* widget = w.window.findChild<QWidget*>(name);
            QVERIFY2(widget && widget->parentWidget() == &w.window, qPrintable(name));
            QCOMPARE(widget->geometry(), rectOf(c["px"]));
            QVERIFY(widget->isEnabled() && !widget->isHidden());
            auto* button = qobject_cast<QPushButton*>(widget);
            auto* label = qobject_cast<QLabel*>(widget);
            QCOMPARE(button ? button->text() : label->text(), c["text"].toString());
            if (button) {  // a default button's own Enter is left to the keyboard's test
                continue;
            }
            const QJsonValue font = c["font"];  // [faces, pixel size, bold]
            if (font.isArray()) {               // the face in use, not only the one asked for
                const QFontInfo face(label->font());
                QVERIFY2(expected["faces"][font[0].toString()].toArray().contains(face.family()),
                         qPrintable(name));
                QCOMPARE(face.pixelSize(), font[1].toInt());
                QCOMPARE(face.fixedPitch(), font[0] == "terminal");
                QCOMPARE(label->font().bold(), font[2].toBool());
            } else {
                QCOMPARE(label->font(), QApplication::font(label));  // the toolkit's label font
            }
            QVERIFY(!label->font().italic() && !label->font().underline() &&
                    !label->font().strikeOut());
            // "system": the system's text colour, opaque on its window colour; "edition": the
            // edition's colour; else an RGB of its own. Only the system-coloured ones are opaque.
            const bool opaque = c["ink"] == "system";
            const QJsonValue ink =
                c["ink"] == "edition" ? expected["editions"]["OstavelSnow"]["colour"] : c["ink"];
            QCOMPARE(label->palette().color(QPalette::WindowText),
                     opaque ? QColor(Qt::black)
                            : QColor(ink[0].toInt(), ink[1].toInt(), ink[2].toInt()));
            QCOMPARE(label->autoFillBackground(), opaque);
            QVERIFY(!opaque || label->palette().color(QPalette::Window) == Qt::white);
            QCOMPARE(label->alignment(),
                     (c["align"] == "left" ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignTop);
            QVERIFY(label->testAttribute(Qt::WA_TransparentForMouseEvents));
        }
    }

    // Why: keyboard users start on Mini Loto and Tab through the four buttons only; Enter, the
    // keypad's Enter and Space each run the focused button's forecast once per press, a held key's
    // repeats none; a modified Enter and Escape press nothing.
    void keysRunTheFocusedButtonOncePerPressAndTabVisitsTheButtons() {
        FakeWindow w;
        w.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        // Each key with the forecasts it must run, pressed and then repeated as if held.
        const std::tuple<Qt::Key, Qt::KeyboardModifiers, int> keys[] = {
            {Qt::Key_Return, Qt::NoModifier, 1},      {Qt::Key_Enter, Qt::KeypadModifier, 1},
            {Qt::Key_Space, Qt::NoModifier, 1},       {Qt::Key_Return, Qt::ShiftModifier, 0},
            {Qt::Key_Return, Qt::ControlModifier, 0}, {Qt::Key_Escape, Qt::NoModifier, 0}};
        int forecasts = 0;
        for (const auto& [key, modifiers, runs] : keys) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            QKeyEvent repeat(QEvent::KeyPress, key, modifiers, QString(), true);
            QApplication::sendEvent(QApplication::focusWidget(), &repeat);
            QCOMPARE(w.recorder.beeps(), forecasts += runs);
        }
        QCOMPARE(w.window.label(Label::Label8)->text(),
                 expected["games"]["miniroto"]["headline"].toString());
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
        QCOMPARE(seenAtSeed, QStringList({expectedControl("Label8")["text"].toString(),
                                          expectedControl("Label7")["text"].toString()}));
        QCOMPARE(s.random.next, std::size_t(0));
    }

    // Why: the bubbles are fixed to the pixel under the labels, so the picture is drawn unscaled
    // from the corner, and a 2x screen gets the 2x picture, not the 1x one magnified. ctest runs
    // this once more with QT_SCALE_FACTOR=2.
    void theBackgroundIsTheScreensPictureUnscaled() {
        FakeWindow w;
        qDeleteAll(w.window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly));  // the picture
        const QImage shown = w.window.grab().toImage();
        const bool twice = qEnvironmentVariableIntValue("QT_SCALE_FACTOR") == 2;
        const QImage picture(OSTAVEL_ASSET_DIR + QString(twice ? "/snow@2x.png" : "/snow.png"));
        QCOMPARE(shown, picture.copy(shown.rect()).convertToFormat(shown.format()));
    }

    // Why: the opaque white number labels would show as boxes wherever the bubble is not white,
    // a bubble that leaks into the scene is no longer a bubble, and both editions share them. The
    // icon is the 32-pixel opaque picture of at most 256 colours every platform's icon is made of.
    void theArtworkKeepsItsBubblesAndIcon() {
        for (const auto& [scale, suffix] : {std::pair(1, ".png"), {2, "@2x.png"}}) {
            const QImage snow = QImage(OSTAVEL_ASSET_DIR "/snow" + QString(suffix)),
                         stage = QImage(OSTAVEL_ASSET_DIR "/stage" + QString(suffix));
            const QTransform scaled = QTransform::fromScale(scale, scale);
            for (int p = 1; p <= 6; ++p) {
                const QRect label =
                    scaled.mapRect(rectOf(expectedControl(QStringLiteral("Label%1").arg(p))["px"]));
                // The white interior of bubble p spans x = 24 + 64 (p - 1) to 76 + 64 (p - 1), y =
                // 54 to 101; the pictures are 4 px larger each way than the window, which cuts
                // the excess off.
                const QRect interior = scaled.mapRect(QRect(24 + 64 * (p - 1), 54, 53, 48));
                for (const QImage& picture : {snow, stage}) {
                    QVERIFY(picture.size() == QSize(425, 283) * scale &&
                            !picture.hasAlphaChannel() && picture.depth() >= 24);
                    QCOMPARE(whiteRegion(picture, label.center()), interior);
                    QImage white = picture.copy(label);
                    white.fill(Qt::white);
                    QCOMPARE(picture.copy(label), white);
                }
                QCOMPARE(snow.copy(interior).createMaskFromColor(qRgb(255, 255, 255)),
                         stage.copy(interior).createMaskFromColor(qRgb(255, 255, 255)));
            }
        }
        const QImage icon = QImage(OSTAVEL_ASSET_DIR "/icon-32.png");
        QVERIFY(icon.size() == QSize(32, 32) && icon.colorCount() > 0 && icon.colorCount() <= 256);
        QVERIFY(std::ranges::all_of(icon.colorTable(), [](QRgb c) { return qAlpha(c) == 255; }));
    }
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"
