#include "PageFile.h"

#include "AtomicFile.h"
#include "InputFile.h"
#include "KestrinError.h"
#include "OutputFailure.h"
#include "ReportDocument.h"

#include <QDataStream>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <limits>

namespace report {

namespace {

constexpr quint32 kMagic = 0x4B525047; // "KRPG"
constexpr quint16 kVersion = 1;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;

enum OptionBits : quint8 { FirstPageHeader = 1, LastPageFooter = 2, PrintIfEmpty = 4 };

// The fewest bytes each record of the file can take (docs/report-pages-format.md), so that a
// count can be checked against the bytes left. A band: kind, height, enabled, element count.
constexpr qint64 kBandBytes = 1 + 8 + 1 + 4;
// An element without a font: kind, name (an empty QString is its length alone), box (QRectF),
// fits text, text, system field, has font, colour (QColor: its colour model and five quint16),
// alignment, word wrap, shrink to fit, white background, shape, pen width, image fit, image (a null
// marker).
constexpr qint64 kElementBytes = 1 + 4 + 32 + 1 + 4 + 1 + 1 + 11 + 4 + 1 + 1 + 1 + 1 + 8 + 1 + 4;
// A page: number, when made (QDateTime: QDate, QTime, kind of time zone), band count.
constexpr qint64 kPageBytes = 4 + (8 + 4 + 1) + 4;
// A placed band: band index, top, count of texts.
constexpr qint64 kPlacedBandBytes = 4 + 8 + 4;

// The bounds of every length and size the reader accepts, so that a damaged file never hands
// painting a negative width, an endless box or an absurd font (Qt's text layout has crashed on a
// field of negative width drawn at a small scale). In millimetres: far beyond any paper made.
constexpr double kMaxLength = 10000;
constexpr double kMaxPenWidth = 100;
// Point sizes, and pixel sizes where a font is given in pixels.
constexpr double kMaxFontSize = 1000;
// Letter and word spacing, in points or per cent.
constexpr double kMaxSpacing = 1000;

// Written so that NaN falls outside.
bool within(double value, double low, double high)
{
    return value >= low && value <= high;
}

bool saneFont(const QFont& font)
{
    const bool sized = font.pointSizeF() > 0 ? within(font.pointSizeF(), 0, kMaxFontSize)
                                             : within(font.pixelSize(), 1, kMaxFontSize);
    return sized && within(font.letterSpacing(), -kMaxSpacing, kMaxSpacing) &&
           within(font.wordSpacing(), -kMaxSpacing, kMaxSpacing);
}

bool saneBox(const QRectF& box)
{
    return within(box.x(), -kMaxLength, kMaxLength) && within(box.y(), -kMaxLength, kMaxLength) &&
           within(box.width(), 0, kMaxLength) && within(box.height(), 0, kMaxLength);
}

bool saneElement(const ReportElement& e)
{
    return saneBox(e.box) && within(e.penWidth, 0, kMaxPenWidth) && (!e.font || saneFont(*e.font));
}

bool saneLayout(const ReportLayout& layout)
{
    const QMarginsF& m = layout.margins;
    return within(layout.paper.width(), 1, kMaxLength) &&
           within(layout.paper.height(), 1, kMaxLength) && within(m.left(), 0, kMaxLength) &&
           within(m.top(), 0, kMaxLength) && within(m.right(), 0, kMaxLength) &&
           within(m.bottom(), 0, kMaxLength) && m.left() + m.right() < layout.paper.width() &&
           m.top() + m.bottom() < layout.paper.height() && saneFont(layout.font);
}

QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void writeElement(QDataStream& out, const ReportElement& e)
{
    out << quint8(e.kind) << e.name << e.box << e.fitsText << e.text << quint8(e.system)
        << e.font.has_value();
    if (e.font)
        out << *e.font;
    out << e.colour << qint32(e.alignment.toInt()) << e.wordWrap << e.shrinkToFit
        << e.whiteBackground << quint8(e.shape) << double(e.penWidth) << quint8(e.imageFit)
        << e.image;
}

void writeLayout(QDataStream& out, const ReportLayout& layout)
{
    quint8 options = 0;
    options |= layout.options.firstPageHeader ? FirstPageHeader : 0;
    options |= layout.options.lastPageFooter ? LastPageFooter : 0;
    options |= layout.options.printIfEmpty ? PrintIfEmpty : 0;
    out << layout.paper << layout.margins << layout.font << options << qint32(layout.bands.size());
    for (const ReportBand& band : layout.bands) {
        out << quint8(band.kind) << double(band.height) << band.enabled
            << qint32(band.elements.size());
        for (const ReportElement& e : band.elements)
            writeElement(out, e);
    }
}

// Reading: any value out of its range marks the stream corrupt, which the caller reports.
template <typename Enum> Enum readEnum(QDataStream& in, Enum last)
{
    quint8 value = 0;
    in >> value;
    if (value > quint8(last))
        in.setStatus(QDataStream::ReadCorruptData);
    return Enum(std::min(value, quint8(last)));
}

// A count of things that take at least minimumBytes each: more than the bytes left could hold
// marks the stream corrupt, so a damaged count never sends the reader round a long loop.
qint32 readCount(QDataStream& in, qint64 minimumBytes)
{
    qint32 count = 0;
    in >> count;
    if (count < 0 || count > in.device()->bytesAvailable() / minimumBytes)
        in.setStatus(QDataStream::ReadCorruptData);
    return in.status() == QDataStream::Ok ? count : 0;
}

// Skips a QString as the stream holds it (a byte length, 0xFFFFFFFF for a null string, then
// UTF-16), checking the length against the bytes left. An odd length is refused as Qt refuses it:
// Qt stops reading there without skipping the text, and what follows would be read out of step.
bool skipString(QDataStream& in)
{
    quint32 bytes = 0;
    in >> bytes;
    if (in.status() != QDataStream::Ok)
        return false;
    if (bytes == 0xFFFFFFFF)
        return true;
    return bytes % 2 == 0 && bytes <= in.device()->bytesAvailable() &&
           bytes <= quint32(std::numeric_limits<int>::max()) &&
           in.skipRawData(int(bytes)) == int(bytes);
}

// The bytes of a QFont in the Qt_6_4 stream format: family and style name (QString), point size
// (double), pixel size (qint32), style hint (quint8), style strategy and weight (quint16 each),
// bits (quint8), stretch (quint16), more bits (quint8), letter and word spacing (qint32 each),
// hinting preference and capitalisation (quint8 each), then the families (QStringList).
constexpr int kFontFixedBytes = 8 + 4 + 1 + 2 + 2 + 1 + 2 + 1 + 4 + 4 + 1 + 1;

// Qt's own reader reserves room for the font's families by the count in the file before it reads
// a single one, so a damaged count asks for gigabytes. The font's bytes are walked first, every
// length checked against what the file holds, and only bytes that pass are read by Qt.
void readFont(QDataStream& in, QFont& font)
{
    QIODevice* device = in.device();
    const qint64 start = device->pos();
    bool fits =
        skipString(in) && skipString(in) && in.skipRawData(kFontFixedBytes) == kFontFixedBytes;
    quint32 families = 0;
    in >> families;
    fits = fits && in.status() == QDataStream::Ok && families <= device->bytesAvailable() / 4;
    for (quint32 i = 0; fits && i < families; ++i)
        fits = skipString(in);
    if (!fits || in.status() != QDataStream::Ok || !device->seek(start)) {
        in.setStatus(QDataStream::ReadCorruptData);
        return;
    }
    in >> font;
}

ReportElement readElement(QDataStream& in)
{
    ReportElement e;
    e.kind = readEnum(in, ElementKind::SystemData);
    in >> e.name >> e.box >> e.fitsText >> e.text;
    e.system = readEnum(in, SystemField::PageNumber);
    bool hasFont = false;
    in >> hasFont;
    if (hasFont && in.status() == QDataStream::Ok) {
        QFont font;
        readFont(in, font);
        e.font = font;
    }
    qint32 alignment = 0;
    double penWidth = 0;
    in >> e.colour >> alignment >> e.wordWrap >> e.shrinkToFit >> e.whiteBackground;
    e.alignment = Qt::Alignment::fromInt(alignment);
    e.shape = readEnum(in, ShapeKind::LeftAndRightLines);
    in >> penWidth;
    e.penWidth = penWidth;
    e.imageFit = readEnum(in, ImageFit::AutoSize);
    in >> e.image;
    return e;
}

std::shared_ptr<ReportLayout> readLayout(QDataStream& in)
{
    auto layout = std::make_shared<ReportLayout>();
    quint8 options = 0;
    in >> layout->paper >> layout->margins;
    readFont(in, layout->font);
    in >> options;
    layout->options.firstPageHeader = options & FirstPageHeader;
    layout->options.lastPageFooter = options & LastPageFooter;
    layout->options.printIfEmpty = options & PrintIfEmpty;
    const qint32 bands = readCount(in, kBandBytes);
    for (qint32 i = 0; i < bands && in.status() == QDataStream::Ok; ++i) {
        ReportBand band;
        double height = 0;
        band.kind = readEnum(in, BandKind::PageFooter);
        in >> height >> band.enabled;
        band.height = height;
        if (!within(height, 0, kMaxLength))
            in.setStatus(QDataStream::ReadCorruptData);
        const qint32 elements = readCount(in, kElementBytes);
        for (qint32 j = 0; j < elements && in.status() == QDataStream::Ok; ++j) {
            band.elements.push_back(readElement(in));
            if (!saneElement(band.elements.back()))
                in.setStatus(QDataStream::ReadCorruptData);
        }
        layout->bands.push_back(std::move(band));
    }
    if (!saneLayout(*layout))
        in.setStatus(QDataStream::ReadCorruptData);
    return layout;
}

// A damaged count must not make the reader reserve gigabytes: every string takes at least its
// four-byte length, so no more can follow than the bytes left allow.
QStringList readStrings(QDataStream& in)
{
    quint32 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok || count > in.device()->bytesAvailable() / 4) {
        in.setStatus(QDataStream::ReadCorruptData);
        return {};
    }
    QStringList strings;
    strings.reserve(count);
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString s;
        in >> s;
        strings.append(s);
    }
    return strings;
}

qsizetype dataFieldCount(const ReportBand& band)
{
    return std::count_if(band.elements.cbegin(), band.elements.cend(),
                         [](const auto& e) { return readsField(e); });
}

} // namespace

void savePages(const ReportDocument& document, const QString& path)
{
    if (document.layout().hasDrawings())
        throw KestrinError(QStringLiteral(
            "Страницы этого отчёта не сохраняются в файл страниц: экспортируйте их в PDF"));
    AtomicFile file(path, outputFailureMessage);
    file.open();
    QDataStream out(file.device());
    out << kMagic << kVersion;
    out.setVersion(kStreamVersion);
    writeLayout(out, document.layout());
    out << qint32(document.pageCount());
    for (int i = 0; i < document.pageCount(); ++i) {
        const MadePage& page = document.page(i);
        out << qint32(page.number) << page.madeAt << qint32(page.bands.size());
        for (const PlacedBand& band : page.bands)
            out << qint32(band.band) << double(band.top) << band.values;
    }
    // A picture that would not encode fails the stream without failing a write.
    if (out.status() != QDataStream::Ok)
        file.raise(AtomicFile::Failure::Stage::Write, 0);
    file.commit();
}

std::unique_ptr<ReportDocument> loadPages(const QString& path)
{
    InputFile input(path, kMaxPageFileBytes, [](const InputFile::Failure& failure) {
        return QStringLiteral("Не удаётся открыть файл %1: %2")
            .arg(failure.path, InputFile::reason(failure));
    });
    input.open();
    QFile file;
    if (!file.open(input.stream(), QIODevice::ReadOnly))
        input.raise(InputFile::Failure::Kind::Open, EIO);
    return readPages(file, path);
}

std::unique_ptr<ReportDocument> readPages(QIODevice& device, const QString& path)
{
    QDataStream in(&device);
    quint32 magic = 0;
    quint16 version = 0;
    in >> magic >> version;
    if (in.status() != QDataStream::Ok || magic != kMagic)
        throw KestrinError(
            QStringLiteral("Файл %1 не является файлом страниц отчёта").arg(nativePath(path)));
    if (version > kVersion)
        throw KestrinError(
            QStringLiteral("Файл %1 записан более новой версией программы").arg(nativePath(path)));
    in.setVersion(kStreamVersion);

    std::shared_ptr<const ReportLayout> layout = readLayout(in);
    auto document = std::make_unique<ReportDocument>(layout);
    QList<MadePage> pages;
    const qint32 count = readCount(in, kPageBytes);
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        MadePage page;
        qint32 number = 0;
        in >> number >> page.madeAt;
        page.number = number;
        // The print date is painted from it: it must be a day of the calendar the program writes.
        const int year = page.madeAt.date().year();
        if (!page.madeAt.isValid() || year < 1 || year > 9999)
            in.setStatus(QDataStream::ReadCorruptData);
        const qint32 bands = readCount(in, kPlacedBandBytes);
        for (qint32 j = 0; j < bands && in.status() == QDataStream::Ok; ++j) {
            PlacedBand band;
            qint32 index = 0;
            double top = 0;
            in >> index >> top;
            band.values = readStrings(in);
            band.band = index;
            band.top = top;
            // Painting trusts these, so a damaged file must not get past here.
            if (index < 0 || std::size_t(index) >= layout->bands.size() ||
                !within(top, -kMaxLength, kMaxLength) ||
                band.values.size() != dataFieldCount(layout->bands[std::size_t(index)]))
                in.setStatus(QDataStream::ReadCorruptData);
            page.bands.append(std::move(band));
        }
        pages.append(std::move(page));
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        throw KestrinError(
            QStringLiteral("Файл страниц отчёта %1 повреждён").arg(nativePath(path)));
    document->appendPages(std::move(pages));
    document->setComplete(true);
    return document;
}

} // namespace report
