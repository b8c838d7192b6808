#include "TfmDiagram.h"

#include "Commands.h"
#include "DiagramExport.h"
#include "DiagramPrint.h"
#include "DiagramView.h"
#include "Edition.h"
#include "FileChoice.h"
#include "GuardedCommand.h"
#include "PageOutput.h"
#include "PictureFile.h"
#include "Pictures.h"
#include "ReportDocument.h"
#include "TfmPreview.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr QSize kClientSize(1000, 650);

QString zoomText(double zoom)
{
    return QStringLiteral(" %1 % ").arg(std::lround(zoom * 100));
}

} // namespace

TfmDiagram::TfmDiagram(const WorkCells& table, const EventIndex& events, const QString& startEvent,
                       const QString& endEvent, const NumberFormat& numbers, QWidget* parent)
    : ToolWindow(parent, "fmDiagram", editionTitle(QStringLiteral("схема сети"))),
      m_model(table, events, startEvent, endEvent, numbers),
      m_sizes(DiagramSizes::measure(m_model)),
      m_layout(layOutNetwork(m_model.layoutInput(), m_sizes.layoutMetrics()))
{
    QVBoxLayout* layout = makeColumn(0);
    addCommands();
    buildToolBar();
    layout->addWidget(ToolBar1);
    gvDiagram = new DiagramView(this);
    gvDiagram->setObjectName(QStringLiteral("gvDiagram"));
    layout->addWidget(gvDiagram, 1);
    connect(gvDiagram, &DiagramView::zoomChanged, lbZoom,
            [this](double zoom) { lbZoom->setText(zoomText(zoom)); });

    resize(kClientSize);
    rebuildScene();
}

TfmDiagram::~TfmDiagram() = default;

void TfmDiagram::addCommands()
{
    using C = Command<TfmDiagram>;
    commands().add<TfmDiagram>(
        this, {
                  C{"tbPrintDiagram", Picture::PrintGraph, u"Печать схемы",
                    &TfmDiagram::tbPrintDiagramClick, commandkeys::print()},
                  C{"tbSaveDiagram", Picture::SaveView, u"Сохранить схему в файл PDF, SVG или PNG",
                    &TfmDiagram::tbSaveDiagramClick, commandkeys::save()},
                  C{"tbZoomFit", Picture::ZoomFit, u"Вся схема", &TfmDiagram::tbZoomFitClick},
                  C{"tbZoom100", Picture::Zoom100, u"Масштаб 100 %", &TfmDiagram::tbZoom100Click,
                    commandkeys::zoom100()},
                  C{"acZoomIn", std::nullopt, u"Крупнее", &TfmDiagram::zoomInClick,
                    commandkeys::zoomIn()},
                  C{"acZoomOut", std::nullopt, u"Мельче", &TfmDiagram::zoomOutClick,
                    commandkeys::zoomOut()},
                  C{"tbCloseDiagram", Picture::CloseGraph, u"Закончить работу со схемой",
                    &TfmDiagram::tbCloseDiagramClick, commandkeys::close()},
              });
    // The formats of the save menu.
    const auto addSave = [this](const char* name, const QString& text, PictureFormat format,
                                int dotsPerInch) {
        commands().addCommand(name, std::nullopt, text, text, {}, false,
                              [this, format, dotsPerInch] { saveDiagram(format, dotsPerInch); });
    };
    addSave("acSavePdf", QStringLiteral("Документ PDF…"), PictureFormat::Pdf, 0);
    addSave("acSaveSvg", QStringLiteral("Рисунок SVG…"), PictureFormat::Svg, 0);
    for (const int resolution : kPngResolutions)
        addSave(QStringLiteral("acSavePng%1").arg(resolution).toLatin1().constData(),
                QStringLiteral("Рисунок PNG, %1 точек на дюйм…").arg(resolution),
                PictureFormat::Png, resolution);
}

void TfmDiagram::buildToolBar()
{
    ToolBar1 = makeToolBar(this, "ToolBar1", {"tbPrintDiagram", "tbSaveDiagram", nullptr});
    auto* save = ToolBar1->findChild<QToolButton*>(QStringLiteral("tbSaveDiagram"));
    QMenu* formats = commands().makeMenu(
        save, "pmSaveDiagram",
        {"acSavePdf", "acSaveSvg", "acSavePng96", "acSavePng150", "acSavePng300"});
    save->setMenu(formats);
    save->setPopupMode(QToolButton::InstantPopup);

    auto* paperLabel = new QLabel(QStringLiteral(" Лист "), ToolBar1);
    // A network runs left to right: landscape unless the user asks otherwise.
    cbPaper = report::makePaperChoice(ToolBar1, "cbPaper", report::Paper::A4Landscape);
    cbPaper->setToolTip(QStringLiteral("Бумага для печати и для файла PDF"));
    paperLabel->setBuddy(cbPaper);
    ToolBar1->addWidget(paperLabel);
    ToolBar1->addWidget(cbPaper);
    cbPrintPages = new QComboBox(ToolBar1);
    cbPrintPages->setObjectName(QStringLiteral("cbPrintPages"));
    cbPrintPages->addItem(QStringLiteral("Вписать в лист"), int(DiagramPages::Fit));
    cbPrintPages->addItem(QStringLiteral("На нескольких листах"), int(DiagramPages::Tiles));
    cbPrintPages->setToolTip(
        QStringLiteral("Печать и PDF на одном листе или в натуральную величину"));
    ToolBar1->addWidget(cbPrintPages);
    ToolBar1->addSeparator();

    for (const char* name : {"tbZoomFit", "tbZoom100"})
        commands().addButton(ToolBar1, name);
    lbZoom = new QLabel(ToolBar1);
    lbZoom->setObjectName(QStringLiteral("lbZoom"));
    lbZoom->setMinimumWidth(lbZoom->fontMetrics().horizontalAdvance(zoomText(8)));
    ToolBar1->addWidget(lbZoom);
    ToolBar1->addSeparator();

    cbSectors = new QCheckBox(QStringLiteral("Сектора"), ToolBar1);
    cbSectors->setObjectName(QStringLiteral("cbSectors"));
    cbSectors->setToolTip(QStringLiteral(
        "События в четырёх секторах: номер, ранний срок Tр, поздний срок Tп, резерв R"));
    cbSectors->setChecked(true);
    ToolBar1->addWidget(cbSectors);
    cbFloats = new QCheckBox(QStringLiteral("Резервы работ"), ToolBar1);
    cbFloats->setObjectName(QStringLiteral("cbFloats"));
    cbFloats->setToolTip(QStringLiteral("Под стрелкой — полный резерв работы Rп (О.З.В.)"));
    ToolBar1->addWidget(cbFloats);
    ToolBar1->addSeparator();
    commands().addButton(ToolBar1, "tbCloseDiagram");

    connect(cbSectors, &QCheckBox::toggled, this, guarded(this, &TfmDiagram::cbSectorsChange));
    connect(cbFloats, &QCheckBox::toggled, this, guarded(this, &TfmDiagram::cbFloatsChange));
}

void TfmDiagram::rebuildScene()
{
    DiagramOptions options;
    options.style = cbSectors->isChecked() ? EventStyle::Sectors : EventStyle::Named;
    options.floats = cbFloats->isChecked();
    auto scene = std::make_shared<const DiagramScene>(m_model, m_layout, m_sizes, options);
    gvDiagram->setScene(scene.get());
    m_scene = std::move(scene);
}

void TfmDiagram::cbSectorsChange()
{
    rebuildScene();
}

void TfmDiagram::cbFloatsChange()
{
    rebuildScene();
}

void TfmDiagram::tbZoomFitClick()
{
    gvDiagram->zoomToFit();
}

void TfmDiagram::tbZoom100Click()
{
    gvDiagram->setZoom(1);
}

void TfmDiagram::zoomInClick()
{
    gvDiagram->setZoom(gvDiagram->zoom() * DiagramView::kWheelStep);
}

void TfmDiagram::zoomOutClick()
{
    gvDiagram->setZoom(gvDiagram->zoom() / DiagramView::kWheelStep);
}

void TfmDiagram::tbPrintDiagramClick()
{
    const DiagramPrint print(m_scene, m_model.caption(), report::chosenPaper(cbPaper),
                             DiagramPages(cbPrintPages->currentData().toInt()));
    report::showPreview(print.layout(), &print.pages(), this);
}

void TfmDiagram::tbSaveDiagramClick()
{
    // From the keyboard: the menu of formats under the button, where a click opens it.
    auto* save = findChild<QToolButton*>(QStringLiteral("tbSaveDiagram"));
    save->menu()->popup(save->mapToGlobal(save->rect().bottomLeft()));
}

void TfmDiagram::tbCloseDiagramClick()
{
    accept();
}

void TfmDiagram::saveDiagram(PictureFormat format, int dotsPerInch)
{
    static constexpr const char* kChoices[] = {"sdDiagramPdf", "sdDiagramSvg", "sdDiagramPng"};
    const QString path =
        FileChoice::of(this, {kChoices[int(format)], FileChoice::Mode::Save, {fileTypeOf(format)}})
            .choosePath();
    if (path.isEmpty())
        return;
    switch (format) {
    case PictureFormat::Pdf: {
        const DiagramPrint print(m_scene, m_model.caption(), report::chosenPaper(cbPaper),
                                 DiagramPages(cbPrintPages->currentData().toInt()));
        report::exportPdf(*print.makeDocument(), path);
        break;
    }
    case PictureFormat::Svg:
        diagramexport::writeSvg(*m_scene, m_model.caption(), path);
        break;
    case PictureFormat::Png:
        diagramexport::writePng(*m_scene, m_model.caption(), dotsPerInch, path);
        break;
    }
}
