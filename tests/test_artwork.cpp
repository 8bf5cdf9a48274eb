// The pictures: the bubbles the number labels sit in must be white exactly where the window
// expects them, the same in both scenes and at both resolutions.

#include <QImage>
#include <QtTest>

#include "app/layout.h"

using namespace ostavel;

class ArtworkTest : public QObject {
    Q_OBJECT

private slots:
    void picturesAreTwentyFourBitAndSized_data();
    void picturesAreTwentyFourBitAndSized();
    void bubbleInteriorsArePureWhereTheLabelsSit_data();
    void bubbleInteriorsArePureWhereTheLabelsSit();
    void bothScenesShareTheBubblesToThePixel();
    void theIconIsAnOpaqueThirtyTwoPixelSquare();
};

static QImage load(const QString& name) {
    QImage image(QStringLiteral(OSTAVEL_ASSET_DIR "/") + name);
    if (image.isNull()) {
        qWarning("cannot read %s", qPrintable(name));
    }
    return image;
}

static void addPictures() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("scale");
    for (const char* scene : {"snow", "stage"}) {
        QTest::addRow("%s 1x", scene) << QStringLiteral("%1.png").arg(scene) << 1;
        QTest::addRow("%s 2x", scene) << QStringLiteral("%1@2x.png").arg(scene) << 2;
    }
}

void ArtworkTest::picturesAreTwentyFourBitAndSized_data() {
    addPictures();
}

void ArtworkTest::picturesAreTwentyFourBitAndSized() {
    QFETCH(QString, file);
    QFETCH(int, scale);
    const QImage image = load(file);
    QCOMPARE(image.size(), layout::pictureSize * scale);
    QVERIFY(!image.hasAlphaChannel());
    QCOMPARE(image.depth() >= 24 || image.format() == QImage::Format_RGB32, true);
}

// The pure-white pixels connected to a seed: the bubble interior.
static QRect whiteRegion(const QImage& image, QPoint seed) {
    const QRgb white = qRgb(255, 255, 255);
    QRect bounds(seed, seed);
    QList<QPoint> todo{seed};
    QSet<quint64> seen;
    while (!todo.isEmpty()) {
        const QPoint p = todo.takeLast();
        const quint64 key = (quint64(p.x()) << 32) | quint64(p.y());
        if (!image.rect().contains(p) || seen.contains(key) || image.pixel(p) != white) {
            continue;
        }
        seen.insert(key);
        bounds |= QRect(p, p);
        todo << QPoint(p.x() + 1, p.y()) << QPoint(p.x() - 1, p.y()) << QPoint(p.x(), p.y() + 1)
             << QPoint(p.x(), p.y() - 1);
    }
    return bounds;
}

void ArtworkTest::bubbleInteriorsArePureWhereTheLabelsSit_data() {
    addPictures();
}

// Why: the opaque white number labels would show as boxes wherever the bubble is not white,
// and a bubble that leaks into the scene is no longer a bubble.
void ArtworkTest::bubbleInteriorsArePureWhereTheLabelsSit() {
    QFETCH(QString, file);
    QFETCH(int, scale);
    const QImage image = load(file).convertToFormat(QImage::Format_RGB32);
    for (int p = 1; p <= 6; ++p) {
        const QRect label = layout::numberLabelGeometry(p);
        const QRect scaledLabel(label.topLeft() * scale, label.size() * scale);
        for (int y = scaledLabel.top(); y <= scaledLabel.bottom(); ++y) {
            for (int x = scaledLabel.left(); x <= scaledLabel.right(); ++x) {
                QVERIFY2(image.pixel(x, y) == qRgb(255, 255, 255),
                         qPrintable(QStringLiteral("bubble %1 at %2,%3").arg(p).arg(x).arg(y)));
            }
        }
        const QRect interior = layout::bubbleInterior(p);
        const QRect expected(interior.topLeft() * scale,
                             QSize(interior.width() * scale, interior.height() * scale));
        QCOMPARE(whiteRegion(image, scaledLabel.center()), expected);
    }
}

void ArtworkTest::bothScenesShareTheBubblesToThePixel() {
    for (const char* suffix : {"", "@2x"}) {
        const QImage snow =
            load(QStringLiteral("snow%1.png").arg(suffix)).convertToFormat(QImage::Format_RGB32);
        const QImage stage =
            load(QStringLiteral("stage%1.png").arg(suffix)).convertToFormat(QImage::Format_RGB32);
        const int scale = snow.width() / layout::pictureSize.width();
        for (int p = 1; p <= 6; ++p) {
            const QRect interior = layout::bubbleInterior(p);
            for (int y = interior.top() * scale; y < (interior.bottom() + 1) * scale; ++y) {
                for (int x = interior.left() * scale; x < (interior.right() + 1) * scale; ++x) {
                    const bool whiteInSnow = snow.pixel(x, y) == qRgb(255, 255, 255);
                    const bool whiteInStage = stage.pixel(x, y) == qRgb(255, 255, 255);
                    QVERIFY2(whiteInSnow == whiteInStage,
                             qPrintable(QStringLiteral("%1,%2 at %3x").arg(x).arg(y).arg(scale)));
                }
            }
        }
    }
}

void ArtworkTest::theIconIsAnOpaqueThirtyTwoPixelSquare() {
    const QImage icon = load(QStringLiteral("icon-32.png"));
    QCOMPARE(icon.size(), QSize(32, 32));
    QVERIFY(icon.colorCount() > 0 && icon.colorCount() <= 256);
    const QImage argb = icon.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            QCOMPARE(qAlpha(argb.pixel(x, y)), 255);
        }
    }
}

QTEST_GUILESS_MAIN(ArtworkTest)
#include "test_artwork.moc"
