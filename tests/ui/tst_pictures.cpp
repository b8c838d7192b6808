#include "Pictures.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTest>

#include <utility>

namespace {

constexpr const char* pictureNames[] = {
    "NewLine",     "Edit",      "Delete",    "Recalc",      "Calendar",   "Workdays",
    "LoadTemp",    "SaveTemp",  "SaveBase",  "Print",       "Graph",      "Analysis",
    "Diagram",     "Gantt",     "Cost",      "Resources",   "Exit",       "InitBorders",
    "Undo",        "Redo",      "Copy",      "CopyAll",     "Paste",      "LoadCsv",
    "SaveCsv",     "Risk",      "Import",    "Export",      "Details",    "LoadPlan",
    "SavePlan",    "Accept",    "Cancel",    "SaveView",    "PrintGraph", "CloseGraph",
    "InsertPoint", "AutoPlace", "DrawGraph", "ZoomFit",     "Zoom100",    "ZoomWidth",
    "FirstPage",   "PrevPage",  "NextPage",  "LastPage",    "PrintSetup", "PrintNow",
    "SavePages",   "LoadPages", "ExportPdf", "ClosePreview"};
constexpr int pictureCount = int(Picture::ClosePreview) + 1;
static_assert(std::size(pictureNames) == pictureCount);

// Commands that mean the same thing in different windows share one picture.
const QList<std::pair<Picture, Picture>> samePictures = {
    {Picture::Exit, Picture::Cancel},
    {Picture::SaveView, Picture::SavePages},
    {Picture::PrintGraph, Picture::PrintNow},
    {Picture::CloseGraph, Picture::ClosePreview},
};

// The device pixels of a pixmap, whatever its device pixel ratio.
QImage devicePixels(const QPixmap& pixmap)
{
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(1.0);
    return image;
}

QImage render(const QIcon& icon, qreal ratio = 1.0, QIcon::Mode mode = QIcon::Normal)
{
    return devicePixels(icon.pixmap(QSize(16, 16), ratio, mode));
}

QImage nearestDoubled(const QImage& image)
{
    return image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

int opaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return count;
}

int differingPixels(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return count;
}

void addPictureRows()
{
    QTest::addColumn<Picture>("picture");
    for (int i = 0; i < pictureCount; ++i)
        QTest::newRow(pictureNames[i]) << Picture(i);
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void drawsVisibleColouredPicture_data() { addPictureRows(); }
    void drawsVisibleColouredPicture();
    void disabledPictureIsGreyButKeepsItsShape_data() { addPictureRows(); }
    void disabledPictureIsGreyButKeepsItsShape();
    void doubleRatioCoversDevicePixels_data() { addPictureRows(); }
    void doubleRatioCoversDevicePixels();
    void curvesAreRedrawnNotEnlargedAtDoubleRatio_data();
    void curvesAreRedrawnNotEnlargedAtDoubleRatio();
    void picturesCanBeToldApart();
    void windowIconRendersRequestedDevicePixels_data();
    void windowIconRendersRequestedDevicePixels();
};

void TestPictures::drawsVisibleColouredPicture()
{
    QFETCH(Picture, picture);
    const QImage image = render(pictureIcon(picture));
    QCOMPARE(image.size(), QSize(16, 16));
    // Tool-bar pictures fill most of their square; a stray dot would pass a mere non-empty test.
    QVERIFY2(opaquePixels(image) >= 16 * 16 / 4, "picture covers under a quarter of its square");
    QSet<QRgb> colours;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                colours.insert(image.pixel(x, y));
    QVERIFY2(colours.size() >= 2, "picture is drawn in a single colour");
}

void TestPictures::disabledPictureIsGreyButKeepsItsShape()
{
    QFETCH(Picture, picture);
    const QIcon icon = pictureIcon(picture);
    const QImage normal = render(icon);
    const QImage disabled = render(icon, 1.0, QIcon::Disabled);
    QCOMPARE(disabled.size(), normal.size());
    QCOMPARE(opaquePixels(disabled), opaquePixels(normal));
    for (int y = 0; y < disabled.height(); ++y) {
        for (int x = 0; x < disabled.width(); ++x) {
            const QColor colour = QColor::fromRgba(disabled.pixel(x, y));
            if (colour.alpha() > 0 && colour.hsvSaturation() > 8)
                QFAIL(qPrintable(QStringLiteral("saturated pixel at %1,%2").arg(x).arg(y)));
        }
    }
    QVERIFY2(disabled != normal, "disabled picture looks like the normal one");
}

void TestPictures::doubleRatioCoversDevicePixels()
{
    QFETCH(Picture, picture);
    const QIcon icon = pictureIcon(picture);
    const QPixmap pixmap = icon.pixmap(QSize(16, 16), 2.0);
    QCOMPARE(pixmap.size(), QSize(32, 32));
    QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    const QImage drawnAt32 = devicePixels(icon.pixmap(QSize(32, 32), 1.0));
    QCOMPARE(devicePixels(pixmap), drawnAt32);

    // Views paint icons through QIcon::paint into a high-DPI device; the result must be the same
    // 32-pixel drawing, not the 16-pixel one stretched.
    QImage device(32, 32, QImage::Format_ARGB32_Premultiplied);
    device.setDevicePixelRatio(2.0);
    device.fill(Qt::transparent);
    {
        QPainter painter(&device);
        icon.paint(&painter, QRect(0, 0, 16, 16));
    }
    device.setDevicePixelRatio(1.0);
    QCOMPARE(device.convertToFormat(QImage::Format_ARGB32), drawnAt32);
}

void TestPictures::curvesAreRedrawnNotEnlargedAtDoubleRatio_data()
{
    // Pictures made only of whole pixels legitimately double pixel for pixel; those with
    // circles and slants must gain detail.
    QTest::addColumn<QIcon>("icon");
    QTest::newRow("Edit") << pictureIcon(Picture::Edit);
    QTest::newRow("Graph") << pictureIcon(Picture::Graph);
    QTest::newRow("Exit") << pictureIcon(Picture::Exit);
    QTest::newRow("InitBorders") << pictureIcon(Picture::InitBorders);
    QTest::newRow("Accept") << pictureIcon(Picture::Accept);
    QTest::newRow("ZoomFit") << pictureIcon(Picture::ZoomFit);
    QTest::newRow("DrawGraph") << pictureIcon(Picture::DrawGraph);
    QTest::newRow("window icon") << windowIcon();
}

void TestPictures::curvesAreRedrawnNotEnlargedAtDoubleRatio()
{
    QFETCH(QIcon, icon);
    const QImage doubled = nearestDoubled(render(icon));
    const QImage sharp = render(icon, 2.0);
    QCOMPARE(sharp.size(), QSize(32, 32));
    QVERIFY2(differingPixels(sharp, doubled) >= 32,
             "double-ratio picture is the 16-pixel one enlarged");
}

void TestPictures::picturesCanBeToldApart()
{
    QList<QImage> images;
    for (int i = 0; i < pictureCount; ++i)
        images.append(render(pictureIcon(Picture(i))));
    auto shared = [](int a, int b) {
        for (const auto& [first, second] : samePictures)
            if ((int(first) == a && int(second) == b) || (int(first) == b && int(second) == a))
                return true;
        return false;
    };
    for (int a = 0; a < pictureCount; ++a) {
        for (int b = a + 1; b < pictureCount; ++b) {
            const QString pair = QStringLiteral("%1 / %2").arg(QLatin1String(pictureNames[a]),
                                                               QLatin1String(pictureNames[b]));
            if (shared(a, b))
                QVERIFY2(images[a] == images[b], qPrintable(pair + QStringLiteral(" differ")));
            else
                QVERIFY2(differingPixels(images[a], images[b]) >= 16,
                         qPrintable(pair + QStringLiteral(" look alike")));
        }
    }
}

void TestPictures::windowIconRendersRequestedDevicePixels_data()
{
    QTest::addColumn<int>("side");
    for (int side : {16, 32, 48, 64, 256})
        QTest::addRow("%d", side) << side;
}

void TestPictures::windowIconRendersRequestedDevicePixels()
{
    QFETCH(int, side);
    const QPixmap pixmap = windowIconPixmap(side);
    QCOMPARE(pixmap.size(), QSize(side, side));
    QCOMPARE(pixmap.devicePixelRatio(), 1.0);
    QVERIFY(opaquePixels(pixmap.toImage()) >= side * side / 4);
    QVERIFY(windowIcon().availableSizes().contains(QSize(side, side)));
}

QTEST_MAIN(TestPictures)

#include "tst_pictures.moc"
