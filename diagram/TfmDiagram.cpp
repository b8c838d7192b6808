#include "TfmDiagram.h"

#include "DiagramExport.h"
#include "DiagramPrint.h"
#include "DiagramView.h"
#include "Edition.h"
#include "ErrorBox.h"
#include "GuardedCommand.h"
#include "PictureButton.h"
#include "Pictures.h"
#include "TfmPreview.h"

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
                       const QString& endEvent, const NumberFormat& numbers, ChooseFile chooseFile,
                       QWidget* parent)
    : ToolWindow(parent, "fmDiagram", editionTitle(QStringLiteral("схема сети"))),
      m_model(table, events, startEvent, endEvent, numbers),
      m_sizes(DiagramSizes::measure(m_model)),
      m_layout(layOutNetwork(m_model.layoutInput(), m_sizes.layoutMetrics())),
      m_chooseFile(std::move(chooseFile))
{
    QVBoxLayout* layout = makeColumn(0);
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

void TfmDiagram::buildToolBar()
{
    ToolBar1 = makeFlatToolBar(this, "ToolBar1");
    tbPrintDiagram = addCommand("tbPrintDiagram", Picture::PrintGraph,
                                QStringLiteral("Печать схемы"), &TfmDiagram::tbPrintDiagramClick);
    tbSaveDiagram = addCommand("tbSaveDiagram", Picture::SaveView,
                               QStringLiteral("Сохранить схему в файл PDF, SVG или PNG"), nullptr);
    pmSaveDiagram = new QMenu(tbSaveDiagram);
    pmSaveDiagram->setObjectName(QStringLiteral("pmSaveDiagram"));
    addSaveCommand("acSavePdf", QStringLiteral("Документ PDF (на одном листе)…"), DiagramFile::Pdf,
                   0);
    addSaveCommand("acSaveSvg", QStringLiteral("Рисунок SVG…"), DiagramFile::Svg, 0);
    for (const int resolution : kPngResolutions)
        addSaveCommand(QStringLiteral("acSavePng%1").arg(resolution).toLatin1().constData(),
                       QStringLiteral("Рисунок PNG, %1 точек на дюйм…").arg(resolution),
                       DiagramFile::Png, resolution);
    tbSaveDiagram->setMenu(pmSaveDiagram);
    tbSaveDiagram->setPopupMode(QToolButton::InstantPopup);
    ToolBar1->addSeparator();

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
    cbPrintPages->setToolTip(QStringLiteral("Печать на одном листе или в натуральную величину"));
    ToolBar1->addWidget(cbPrintPages);
    ToolBar1->addSeparator();

    tbZoomFit = addCommand("tbZoomFit", Picture::ZoomFit, QStringLiteral("Вся схема"),
                           &TfmDiagram::tbZoomFitClick);
    tbZoom100 = addCommand("tbZoom100", Picture::Zoom100, QStringLiteral("Масштаб 100 %"),
                           &TfmDiagram::tbZoom100Click);
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
    tbCloseDiagram = addCommand("tbCloseDiagram", Picture::CloseGraph,
                                QStringLiteral("Закончить работу со схемой"), nullptr);
    connect(tbCloseDiagram, &QToolButton::clicked, this, &QDialog::accept);

    connect(cbSectors, &QCheckBox::toggled, this, guarded(this, &TfmDiagram::cbSectorsChange));
    connect(cbFloats, &QCheckBox::toggled, this, guarded(this, &TfmDiagram::cbFloatsChange));
}

QToolButton* TfmDiagram::addCommand(const char* name, Picture picture, const QString& hint,
                                    void (TfmDiagram::*handler)())
{
    return addToolBarCommand(this, ToolBar1, name, picture, hint, handler);
}

void TfmDiagram::addSaveCommand(const char* name, const QString& text, DiagramFile kind,
                                int dotsPerInch)
{
    QAction* action = pmSaveDiagram->addAction(text);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, [this, kind, dotsPerInch] {
        runGuarded(this, [this, kind, dotsPerInch] { saveDiagram(kind, dotsPerInch); });
    });
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

void TfmDiagram::tbPrintDiagramClick()
{
    const DiagramPrint print(m_scene, m_model.caption(), report::chosenPaper(cbPaper),
                             DiagramPages(cbPrintPages->currentData().toInt()));
    report::showPreview(print.layout(), &print.pages(), this);
}

void TfmDiagram::saveDiagram(DiagramFile kind, int dotsPerInch)
{
    const QString path = m_chooseFile ? m_chooseFile(kind) : QString();
    if (path.isEmpty())
        return;
    switch (kind) {
    case DiagramFile::Pdf:
        diagramexport::writePdf(*m_scene, m_model.caption(), report::chosenPaper(cbPaper), path);
        break;
    case DiagramFile::Svg:
        diagramexport::writeSvg(*m_scene, m_model.caption(), path);
        break;
    case DiagramFile::Png:
        diagramexport::writePng(*m_scene, m_model.caption(), dotsPerInch, path);
        break;
    }
}
