// libFuzzer target for the report page file reader: any bytes must either be refused with the
// program's own error or read into a document whose pages paint without a fault, since painting
// trusts what the reader accepted.
#include "KestrinError.h"
#include "PageFile.h"
#include "ReportDocument.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <memory>

namespace {

// Enough pages to reach every kind of band, few enough to keep each run short.
constexpr int kPagesPainted = 2;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Fonts and pictures need a GUI application; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    std::unique_ptr<report::ReportDocument> document;
    try {
        document = report::readPages(buffer, QStringLiteral("fuzz.krp"));
    } catch (const KestrinError&) {
        return 0;
    }
    QImage page(105, 148, QImage::Format_RGB32);
    QPainter painter(&page);
    for (int index = 0; index < std::min(document->pageCount(), kPagesPainted); ++index)
        document->paintPage(painter, index, QRectF(0, 0, 105, 148));
    return 0;
}
