// The pictures: the bubbles the number labels sit in must be white exactly where the window
// expects them, the same in both scenes and at both resolutions.

#include <QImage>
#include <QtTest>

#include "app/layout.h"

using namespace ostavel;

class ArtworkTest : public QObject {
    Q_OBJECT

private slots:
    void bubbleInteriorsArePureWhereTheLabelsSit_data();
    void bubbleInteriorsArePureWhereTheLabelsSit();
    void theIconIsAnOpaqueThirtyTwoPixelPaletteImage();
};

static QImage load(const QString& name) {
    return QImage(QStringLiteral(OSTAVEL_ASSET_DIR "/") + name);
}

// The bounding box of the pure-white pixels 4-connected to a seed: the bubble's interior.
static QRect whiteRegion(const QImage& image, QPoint seed) {
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

static int whitePixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += image.pixel(x, y) == qRgb(255, 255, 255);
        }
    }
    return count;
}

void ArtworkTest::bubbleInteriorsArePureWhereTheLabelsSit_data() {
    QTest::addColumn<QString>("suffix");
    QTest::newRow("1x") << "";
    QTest::newRow("2x") << "@2x";
}

// Why: the opaque white number labels would show as boxes wherever the bubble is not white,
// a bubble that leaks into the scene is no longer a bubble, and both editions share them.
void ArtworkTest::bubbleInteriorsArePureWhereTheLabelsSit() {
    QFETCH(QString, suffix);
    const QImage snow = load("snow" + suffix + ".png");
    const QImage stage = load("stage" + suffix + ".png");
    const int scale = suffix.isEmpty() ? 1 : 2;
    for (const QImage& picture : {snow, stage}) {
        QCOMPARE(picture.size(), layout::pictureSize * scale);
        QVERIFY(!picture.hasAlphaChannel() && picture.depth() >= 24);
    }
    const auto scaled = [scale](const QRect& r) {
        return QRect(r.topLeft() * scale, r.size() * scale);
    };
    for (int p = 1; p <= 6; ++p) {
        const QRect label = scaled(layout::numberLabelGeometry(p));
        for (const QImage& picture : {snow, stage}) {
            QCOMPARE(whiteRegion(picture, label.center()), scaled(layout::bubbleInterior(p)));
            QCOMPARE(whitePixels(picture, label), label.width() * label.height());
        }
        const QRect interior = scaled(layout::bubbleInterior(p));
        QCOMPARE(snow.copy(interior).createMaskFromColor(qRgb(255, 255, 255)),
                 stage.copy(interior).createMaskFromColor(qRgb(255, 255, 255)));
    }
}

void ArtworkTest::theIconIsAnOpaqueThirtyTwoPixelPaletteImage() {
    const QImage icon = load("icon-32.png");
    QCOMPARE(icon.size(), QSize(32, 32));
    QVERIFY(icon.colorCount() > 0 && icon.colorCount() <= 256);
    for (QRgb colour : icon.colorTable()) {
        QCOMPARE(qAlpha(colour), 255);
    }
}

QTEST_GUILESS_MAIN(ArtworkTest)
#include "test_artwork.moc"
