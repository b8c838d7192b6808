#include "TfmGraphReport.h"

#include "KestrinError.h"
#include "ReportPageHeader.h"

#include <QDir>
#include <QImageReader>

using namespace report;

namespace {

// Millimetres.
constexpr qreal kTitleHeight = 131.76;
constexpr qreal kFooterHeight = 10.58;
const QString kPictureElement = QStringLiteral("qriMain");

} // namespace

ReportLayout graphReportLayout()
{
    ReportLayout layout = layoutWithPageHeader(PageHeaderCaption::NetworkGraph);
    ReportBand& title = layout.addBand(BandKind::Title, kTitleHeight);
    title.add(ReportElement::picture({2.12, 2.12, 186.53, 128.59}, QImage(), ImageFit::AutoSize)
                  .withName(kPictureElement));
    layout.addBand(BandKind::PageFooter, kFooterHeight);
    return layout;
}

TfmGraphReport::TfmGraphReport(QObject* parent) : QObject(parent), qrGraph(graphReportLayout())
{
    setObjectName(QStringLiteral("fmGraphReport"));
}

void TfmGraphReport::loadPicture(const QString& path)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        throw KestrinError(
            QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(path)));
    qrGraph.findElement(kPictureElement)->image = image;
}
