#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

// The compiled-in icons, registered without any call of ours: the application icon and the six line icons in
// a variant for each theme. The
// "-light" variant is drawn for the light theme (dark strokes), the "-dark" variant for the dark theme
// (light strokes).
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void applicationIcon();
    void lineIconsInBothVariants_data();
    void lineIconsInBothVariants();
};

namespace {

// Renders an SVG at 48x48 on transparency; the mean lightness of the painted pixels and how many there are.
struct Ink
{
    double lightness = 0;
    int pixels = 0;
};

Ink inkOf(QSvgRenderer &renderer)
{
    QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    Ink ink;
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.alpha() > 200) {
                sum += colour.lightnessF();
                ++ink.pixels;
            }
        }
    }
    ink.lightness = ink.pixels ? sum / ink.pixels : 0;
    return ink;
}

}  // namespace

void TestResources::applicationIcon()
{
    const QImage icon(QStringLiteral(":/icons/assets/vantap-icon.png"));
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.size(), QSize(256, 256));
    QVERIFY(icon.hasAlphaChannel());
    // Rounded corners are transparent; the printer mark is the accent orange.
    QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);
    int accentPixels = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            if (icon.pixel(x, y) == qRgba(0xff, 0x8a, 0x00, 0xff)) {
                ++accentPixels;
            }
        }
    }
    QVERIFY2(accentPixels > 256 * 256 / 20, qPrintable(QString::number(accentPixels)));
}

void TestResources::lineIconsInBothVariants_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"moon", "sun", "file", "printer", "settings", "trash"}) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void TestResources::lineIconsInBothVariants()
{
    QFETCH(QString, name);
    // The path template the window uses to pick an icon for a theme.
    const QString pathTemplate = QStringLiteral(":/icons/assets/icons/%1-%2.svg");
    QSvgRenderer light(pathTemplate.arg(name, QStringLiteral("light")));
    QSvgRenderer dark(pathTemplate.arg(name, QStringLiteral("dark")));
    QVERIFY(light.isValid());
    QVERIFY(dark.isValid());
    QCOMPARE(light.viewBoxF(), QRectF(0, 0, 24, 24));
    QCOMPARE(dark.viewBoxF(), QRectF(0, 0, 24, 24));
    const Ink lightInk = inkOf(light);
    const Ink darkInk = inkOf(dark);
    // The same drawing in both variants; dark strokes for the light theme, light strokes for the dark one.
    QVERIFY2(lightInk.pixels > 48 && lightInk.pixels == darkInk.pixels,
             qPrintable(QStringLiteral("%1 %2").arg(lightInk.pixels).arg(darkInk.pixels)));
    QVERIFY2(lightInk.lightness < 0.3, qPrintable(QString::number(lightInk.lightness)));
    QVERIFY2(darkInk.lightness > 0.8, qPrintable(QString::number(darkInk.lightness)));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
