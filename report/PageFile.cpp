#include "PageFile.h"

#include "KestrinError.h"
#include "ReportDocument.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace report {

namespace {

constexpr quint32 kMagic = 0x4B525047; // "KRPG"
constexpr quint16 kVersion = 1;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;

enum OptionBits : quint8 { FirstPageHeader = 1, LastPageFooter = 2, PrintIfEmpty = 4 };

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

qint32 readCount(QDataStream& in)
{
    qint32 count = 0;
    in >> count;
    if (count < 0)
        in.setStatus(QDataStream::ReadCorruptData);
    return count;
}

ReportElement readElement(QDataStream& in)
{
    ReportElement e;
    e.kind = readEnum(in, ElementKind::SystemData);
    in >> e.name >> e.box >> e.fitsText >> e.text;
    e.system = readEnum(in, SystemField::PageNumber);
    bool hasFont = false;
    in >> hasFont;
    if (hasFont) {
        QFont font;
        in >> font;
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
    in >> layout->paper >> layout->margins >> layout->font >> options;
    layout->options.firstPageHeader = options & FirstPageHeader;
    layout->options.lastPageFooter = options & LastPageFooter;
    layout->options.printIfEmpty = options & PrintIfEmpty;
    const qint32 bands = readCount(in);
    for (qint32 i = 0; i < bands && in.status() == QDataStream::Ok; ++i) {
        ReportBand band;
        double height = 0;
        band.kind = readEnum(in, BandKind::PageFooter);
        in >> height >> band.enabled;
        band.height = height;
        const qint32 elements = readCount(in);
        for (qint32 j = 0; j < elements && in.status() == QDataStream::Ok; ++j)
            band.elements.append(readElement(in));
        layout->bands.append(std::move(band));
    }
    if (layout->paper.isEmpty())
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
                         [](const auto& e) { return e.kind == ElementKind::DataField; });
}

} // namespace

void savePages(const ReportDocument& document, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw KestrinError(QStringLiteral("Не удаётся создать файл %1").arg(nativePath(path)));
    QDataStream out(&file);
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
    if (out.status() != QDataStream::Ok || !file.commit())
        throw KestrinError(QStringLiteral("Ошибка записи файла %1").arg(nativePath(path)));
}

std::unique_ptr<ReportDocument> loadPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw KestrinError(QStringLiteral("Не удаётся открыть файл %1").arg(nativePath(path)));
    QDataStream in(&file);
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
    const qint32 count = readCount(in);
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        MadePage page;
        qint32 number = 0;
        in >> number >> page.madeAt;
        page.number = number;
        const qint32 bands = readCount(in);
        for (qint32 j = 0; j < bands && in.status() == QDataStream::Ok; ++j) {
            PlacedBand band;
            qint32 index = 0;
            double top = 0;
            in >> index >> top;
            band.values = readStrings(in);
            band.band = index;
            band.top = top;
            // Painting trusts these, so a damaged file must not get past here.
            if (index < 0 || index >= layout->bands.size() ||
                band.values.size() != dataFieldCount(layout->bands[index]))
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
