#include "DateFormat.h"
#include "Edition.h"
#include "MemoryDataSet.h"
#include "RecordingDevice.h"
#include "ReportDocument.h"
#include "ReportFonts.h"
#include "TableLikeLayout.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

using namespace report;
using Item = RecordingEngine::Item;

namespace {

constexpr qreal kTolerance = 0.3; // mm

QList<Item> record(const ReportDocument& document, int page)
{
    RecordingDevice device;
    QPainter painter(&device);
    document.paintPage(painter, page, device.paper());
    painter.end();
    return device.items();
}

bool near(qreal a, qreal b)
{
    return qAbs(a - b) <= kTolerance;
}

bool near(const QRectF& a, const QRectF& b)
{
    return near(a.x(), b.x()) && near(a.y(), b.y()) && near(a.width(), b.width()) &&
           near(a.height(), b.height());
}

bool near(const QLineF& a, const QLineF& b)
{
    const auto same = [](QPointF p, QPointF q) {
        return near(p.x(), q.x()) && near(p.y(), q.y());
    };
    return (same(a.p1(), b.p1()) && same(a.p2(), b.p2())) ||
           (same(a.p1(), b.p2()) && same(a.p2(), b.p1()));
}

QString show(const QList<Item>& items, Item::Kind kind)
{
    QStringList out;
    for (const Item& i : items)
        if (i.kind == kind)
            out.append(kind == Item::Line ? QStringLiteral("(%1,%2)-(%3,%4)")
                                                .arg(i.line.x1())
                                                .arg(i.line.y1())
                                                .arg(i.line.x2())
                                                .arg(i.line.y2())
                                          : QStringLiteral("[%1 %2 %3 %4 %5]")
                                                .arg(i.text)
                                                .arg(i.rect.x())
                                                .arg(i.rect.y())
                                                .arg(i.rect.width())
                                                .arg(i.rect.height()));
    return out.mid(0, 40).join(QLatin1Char(' '));
}

} // namespace

class TestReportRender : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installReportFontSubstitutes(); }

    // Where the elements of the printed work table land on paper, in millimetres from the
    // paper's top left corner: the band's position (margins, the bands above) plus the element's.
    void placesElementsOnPaper_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRectF>("box"); // text: (reference x, top); shapes: the rectangle
        QTest::addColumn<QLineF>("line");

        const QString left = QStringLiteral("text-left");
        const QString right = QStringLiteral("text-right");
        const QString centre = QStringLiteral("text-centre");
        const QLineF noLine;
        const QRectF noBox;
        // Page header, top at the 10 mm margin.
        QTest::newRow("icon") << 0 << "image"
                              << "" << QRectF(52.33, 15.29, 8.47, 8.47) << noLine;
        QTest::newRow("heading") << 0 << left << "Расчёт сетевых графиков"
                                 << QRectF(62.12, 16.35, 0, 0) << noLine;
        QTest::newRow("product name")
            << 0 << left << "Kestrin" << QRectF(89.64, 24.02, 0, 0) << noLine;
        QTest::newRow("version") << 0 << left << QStringLiteral("v ") + edition()
                                 << QRectF(110.54, 24.82, 0, 0) << noLine;
        QTest::newRow("upper rule") << 0 << "outline"
                                    << "" << QRectF(107.37, 36.72, 91.28, 0.26) << noLine;
        QTest::newRow("lower rule") << 0 << "outline"
                                    << "" << QRectF(107.37, 47.31, 91.28, 0.26) << noLine;
        QTest::newRow("date caption")
            << 0 << left << "Дата печати :" << QRectF(109.48, 48.10, 0, 0) << noLine;
        QTest::newRow("print date")
            << 0 << left << "$date" << QRectF(170.87, 48.10, 0, 0) << noLine;
        QTest::newRow("page caption")
            << 0 << left << "Страница :" << QRectF(109.48, 52.33, 0, 0) << noLine;
        QTest::newRow("page number, right-aligned")
            << 0 << right << "1" << QRectF(198.65, 52.33, 0, 0) << noLine;
        // Column headings, right below the header at 64.50 mm.
        QTest::newRow("headings frame") << 0 << "outline"
                                        << "" << QRectF(11.59, 64.50, 187.06, 13.49) << noLine;
        QTest::newRow("headings closing line")
            << 0 << "line"
            << "" << noBox << QLineF(11.85, 79.05, 198.65, 79.05);
        QTest::newRow("heading centred in its box")
            << 0 << centre << "Начало работы" << QRectF(40.165, 69.53, 0, 0) << noLine;
        QTest::newRow("wrapped heading, first line")
            << 0 << centre << "К-во" << QRectF(19.13, 65.29, 0, 0) << noLine;
        // First detail row at 78.79 mm.
        QTest::newRow("left-aligned field")
            << 0 << left << "Событие 0" << QRectF(26.67, 79.85, 0, 0) << noLine;
        QTest::newRow("right-aligned field")
            << 0 << right << "2,5" << QRectF(103.66, 79.85, 0, 0) << noLine;
        QTest::newRow("italic date field")
            << 0 << right << "07.12.2026" << QRectF(197.32, 79.85, 0, 0) << noLine;
        QTest::newRow("too wide a date, condensed to start at its box")
            << 0 << left << "07.12.2026" << QRectF(180.92, 79.85, 0, 0) << noLine;
        QTest::newRow("field background") << 0 << "fill"
                                          << "" << QRectF(105.51, 79.85, 11.91, 4.50) << noLine;
        QTest::newRow("second row")
            << 0 << left << "Событие 2" << QRectF(56.57, 86.20, 0, 0) << noLine;
        QTest::newRow("row upper edge, above the band")
            << 0 << "line"
            << "" << noBox << QLineF(11.85, 78.53, 198.65, 78.53);
        QTest::newRow("row lower edge") << 0 << "line"
                                        << "" << noBox << QLineF(11.85, 84.88, 198.65, 84.88);
        QTest::newRow("cell border") << 0 << "line"
                                     << "" << noBox << QLineF(25.88, 78.79, 25.88, 85.14);
        QTest::newRow("longer cell border") << 0 << "line"
                                            << "" << noBox << QLineF(83.03, 78.79, 83.03, 85.40);
        QTest::newRow("left side") << 0 << "line"
                                   << "" << noBox << QLineF(11.59, 78.79, 11.59, 85.14);
        QTest::newRow("right side") << 0 << "line"
                                    << "" << noBox << QLineF(198.39, 78.79, 198.39, 85.14);
        // Page 2: no headings, the rows follow the header at once.
        QTest::newRow("page 2 number")
            << 1 << right << "2" << QRectF(198.65, 52.33, 0, 0) << noLine;
        QTest::newRow("page 2 first row")
            << 1 << left << "Событие 31" << QRectF(26.67, 65.56, 0, 0) << noLine;
    }
    void placesElementsOnPaper()
    {
        QFETCH(int, page);
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QRectF, box);
        QFETCH(QLineF, line);
        const tablelike::DataSet data(40);
        const auto document = makeDocument(tablelike::layout(), &data);
        QCOMPARE(document->pageCount(), 2);
        const QList<Item> items = record(*document, page);
        if (text == QLatin1String("$date"))
            text = systemText(SystemField::PrintDateTime, document->page(page));

        if (kind.startsWith(QLatin1String("text"))) {
            const auto found = std::find_if(items.cbegin(), items.cend(), [&](const Item& i) {
                return i.kind == Item::Text && i.text == text;
            });
            QVERIFY2(found != items.cend(), qPrintable(show(items, Item::Text)));
            const qreal x = kind == QLatin1String("text-left")    ? found->rect.left()
                            : kind == QLatin1String("text-right") ? found->rect.right()
                                                                  : found->rect.center().x();
            QVERIFY2(near(x, box.x()), qPrintable(QStringLiteral("x %1").arg(x)));
            QVERIFY2(near(found->rect.top(), box.y()),
                     qPrintable(QStringLiteral("top %1").arg(found->rect.top())));
            return;
        }
        const Item::Kind wanted = kind == QLatin1String("line")      ? Item::Line
                                  : kind == QLatin1String("outline") ? Item::Outline
                                  : kind == QLatin1String("fill")    ? Item::Fill
                                                                     : Item::Image;
        const bool found = std::any_of(items.cbegin(), items.cend(), [&](const Item& i) {
            return i.kind == wanted &&
                   (wanted == Item::Line ? near(i.line, line) : near(i.rect, box));
        });
        QVERIFY2(found, qPrintable(show(items, wanted)));
    }

    void fitsLabelIsAsWideAsItsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("heading") << "Расчёт сетевых графиков";
        QTest::newRow("heavy font") << "Kestrin";
        QTest::newRow("caption") << "Дата печати :";
    }
    void fitsLabelIsAsWideAsItsText()
    {
        QFETCH(QString, text);
        const auto document = makeDocument(tablelike::layout(), nullptr);
        const QList<Item> items = record(*document, 0);
        const auto label = std::find_if(items.cbegin(), items.cend(), [&](const Item& i) {
            return i.kind == Item::Text && i.text == text;
        });
        QVERIFY(label != items.cend());
        // The white background is drawn first, over exactly the text's width.
        const auto background = std::find_if(items.cbegin(), label, [&](const Item& i) {
            return i.kind == Item::Fill && near(i.rect.left(), label->rect.left()) &&
                   near(i.rect.top(), label->rect.top());
        });
        QVERIFY(background != label);
        QCOMPARE(background->colour, QColor(Qt::white));
        QVERIFY2(
            qAbs(background->rect.width() - label->rect.width()) < 0.05,
            qPrintable(
                QStringLiteral("%1 vs %2").arg(background->rect.width()).arg(label->rect.width())));
    }

    void wrappedTextStaysInItsBox()
    {
        const auto document = makeDocument(tablelike::layout(), nullptr);
        const QList<Item> items = record(*document, 0);
        // "К-во предид. работ" in a 12.96 x 12.44 box at (12.65, 65.29): three lines.
        const QRectF box(12.65, 65.29, 12.96, 12.44);
        QStringList lines;
        for (const Item& i : items) {
            if (i.kind == Item::Text && box.adjusted(-0.1, -0.1, 0.1, 0.1).contains(i.rect))
                lines.append(i.text);
        }
        QCOMPARE(lines, (QStringList{QStringLiteral("К-во"), QStringLiteral("предид."),
                                     QStringLiteral("работ")}));
    }

    void drawsShapes_data()
    {
        QTest::addColumn<ShapeKind>("shape");
        QTest::addColumn<QList<QLineF>>("lines");
        QTest::addColumn<QRectF>("outline");
        // The box (20, 30, 40 x 10) in a band at the 10 mm margins.
        QTest::newRow("rectangle: the outline of the box")
            << ShapeKind::Rectangle << QList<QLineF>{} << QRectF(30, 40, 40, 10);
        QTest::newRow("horizontal line through the vertical middle")
            << ShapeKind::HorizontalLine << QList<QLineF>{QLineF(30, 45, 70, 45)} << QRectF();
        QTest::newRow("vertical line through the horizontal middle")
            << ShapeKind::VerticalLine << QList<QLineF>{QLineF(50, 40, 50, 50)} << QRectF();
        QTest::newRow("left and right sides")
            << ShapeKind::LeftAndRightLines
            << QList<QLineF>{QLineF(30, 40, 30, 50), QLineF(70, 40, 70, 50)} << QRectF();
    }
    void drawsShapes()
    {
        QFETCH(ShapeKind, shape);
        QFETCH(QList<QLineF>, lines);
        QFETCH(QRectF, outline);
        ReportLayout layout;
        layout.addBand(BandKind::Title, 60).add(ReportElement::shapeBox({20, 30, 40, 10}, shape));
        const QList<Item> items = record(*makeDocument(layout, nullptr), 0);
        QList<QLineF> drawn;
        QList<QRectF> outlines;
        for (const Item& i : items) {
            if (i.kind == Item::Line)
                drawn.append(i.line);
            if (i.kind == Item::Outline)
                outlines.append(i.rect);
        }
        QCOMPARE(drawn.size(), lines.size());
        for (int i = 0; i < lines.size(); ++i)
            QVERIFY(near(drawn[i], lines[i]));
        QCOMPARE(outlines.size(), outline.isNull() ? 0 : 1);
        if (!outline.isNull())
            QVERIFY(near(outlines[0], outline));
    }

    // A picture element at (2.12, 2.12), 186.53 x 128.59, in a 131.76 mm band at the margins.
    void fitsPictures_data()
    {
        QTest::addColumn<ImageFit>("fit");
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<QRectF>("drawn");
        QTest::newRow("stretched to the box")
            << ImageFit::Stretch << QSize(100, 100) << QRectF(12.12, 12.12, 186.53, 128.59);
        QTest::newRow("centred at its own size")
            << ImageFit::Centre << QSize(100, 100) << QRectF(92.156, 63.186, 26.458, 26.458);
        QTest::newRow("auto size: the picture's own size at the corner")
            << ImageFit::AutoSize << QSize(400, 300) << QRectF(12.12, 12.12, 105.833, 79.375);
        QTest::newRow("auto size: too wide, shrunk to the band's right edge")
            << ImageFit::AutoSize << QSize(1000, 300) << QRectF(12.12, 12.12, 187.88, 56.364);
        QTest::newRow("auto size: too tall, shrunk to the band's bottom edge")
            << ImageFit::AutoSize << QSize(300, 1000) << QRectF(12.12, 12.12, 38.892, 129.64);
    }
    void fitsPictures()
    {
        QFETCH(ImageFit, fit);
        QFETCH(QSize, pixels);
        QFETCH(QRectF, drawn);
        QImage picture(pixels, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        ReportLayout layout;
        layout.addBand(BandKind::Title, 131.76)
            .add(ReportElement::picture({2.12, 2.12, 186.53, 128.59}, picture, fit));
        const QList<Item> items = record(*makeDocument(layout, nullptr), 0);
        QList<QRectF> images;
        for (const Item& i : items)
            if (i.kind == Item::Image)
                images.append(i.rect);
        QCOMPARE(images.size(), 1);
        QVERIFY2(near(images[0], drawn), qPrintable(show(items, Item::Image)));
    }

    // A drawing element is bound to its field like a data field: each band hands its painter the
    // record's text and the element's box on the device, and the data field after it still gets
    // its own column. What the painter draws lands on the page.
    void drawingPaintsItsRecordInItsBox()
    {
        struct Call
        {
            QString value;
            QRectF box; // mm
        };
        auto calls = std::make_shared<QList<Call>>();
        ReportLayout layout;
        ReportBand& detail = layout.addBand(BandKind::Detail, 40);
        detail.add(ReportElement::drawing(
            {5, 3, 60, 30}, QStringLiteral("picture"),
            [calls](QPainter& painter, const QRectF& box, qreal dotsPerMm, const QString& value) {
                calls->append({value, QRectF(box.topLeft() / dotsPerMm, box.size() / dotsPerMm)});
                painter.setPen(Qt::red);
                painter.drawLine(box.topLeft(), box.bottomRight());
            }));
        detail.add(ReportElement::dataField({70, 3, 30, 5}, QStringLiteral("caption")));
        MemoryDataSet data({QStringLiteral("caption"), QStringLiteral("picture")});
        for (int i = 0; i < 8; ++i)
            data.appendRecord({QStringLiteral("c%1").arg(i), QStringLiteral("p%1").arg(i)});
        const auto document = makeDocument(layout, &data);
        QCOMPARE(document->pageCount(), 2); // six 40 mm bands to the 277 mm body

        const QList<Item> items = record(*document, 1);
        QCOMPARE(calls->size(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(calls->at(i).value, QStringLiteral("p%1").arg(6 + i));
            const QRectF box(15, 13 + 40 * i, 60, 30);
            QVERIFY2(near(calls->at(i).box, box), qPrintable(QStringLiteral("%1").arg(i)));
            const bool drawn = std::any_of(items.cbegin(), items.cend(), [&](const Item& item) {
                return item.kind == Item::Line && item.colour == Qt::red &&
                       near(item.line, QLineF(box.topLeft(), box.bottomRight()));
            });
            QVERIFY2(drawn, qPrintable(show(items, Item::Line)));
            QVERIFY(std::any_of(items.cbegin(), items.cend(), [&](const Item& item) {
                return item.kind == Item::Text && item.text == QStringLiteral("c%1").arg(6 + i);
            }));
        }
    }

    void printDateLeavesOutMidnight_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<bool>("timeShown");
        QTest::newRow("midnight") << QTime(0, 0) << false;
        QTest::newRow("a second after") << QTime(0, 0, 1) << true;
        QTest::newRow("just before midnight, never the next day") << QTime(23, 59, 59, 999) << true;
    }
    void printDateLeavesOutMidnight()
    {
        QFETCH(QTime, time);
        QFETCH(bool, timeShown);
        MadePage page;
        page.number = 7;
        page.madeAt = QDateTime(QDate(2026, 3, 9), time);
        const QString text = systemText(SystemField::PrintDateTime, page);
        const QString day = DateFormat::system().formatDate(DateFormat::daysOf(page.madeAt.date()));
        QVERIFY2(text.startsWith(day), qPrintable(text));
        QCOMPARE(text.size() > day.size(), timeShown);
        if (timeShown) {
            QVERIFY2(text.contains(time.toString(QStringLiteral("mm:ss"))), qPrintable(text));
            QVERIFY2(!text.contains(QLatin1String("UTC")), qPrintable(text));
        }
        QCOMPARE(systemText(SystemField::PageNumber, page), QStringLiteral("7"));
    }

    void classicFacesHaveStandIns_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QStringList>("standIns");
        QTest::newRow("Arial") << "Arial" << QStringList{QStringLiteral("Liberation Sans")};
        QTest::newRow("Courier New")
            << "Courier New" << QStringList{QStringLiteral("Liberation Mono")};
        QTest::newRow("Arial Black")
            << "Arial Black"
            << QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")};
    }
    void classicFacesHaveStandIns()
    {
        QFETCH(QString, family);
        QFETCH(QStringList, standIns);
        if (QFontDatabase::hasFamily(family))
            QSKIP("the face itself is installed");
        if (!QFontDatabase::hasFamily(standIns.first()))
            QSKIP("fonts-liberation2 and fonts-dejavu-core are not installed");
        const QString used = QFontInfo(QFont(family, 10)).family();
        QVERIFY2(used == standIns.first(), qPrintable(used));
    }
};

QTEST_MAIN(TestReportRender)
#include "tst_reportrender.moc"
