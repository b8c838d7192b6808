#pragma once

#include "DiagramModel.h"
#include "DiagramScene.h"
#include "NetworkLayout.h"

#include "ToolWindow.h"

#include <memory>

enum class PictureFormat;
class DiagramView;
class EventIndex;
class NumberFormat;
class QCheckBox;
class QComboBox;
class QLabel;
class QToolBar;
class WorkCells;

// The network diagram window: every event of the network placed automatically, left to right in
// time, the critical path on one straight line, in a zoomable view; printed through the report
// preview (fitted on one page or spread over several) and saved as PDF (the print), SVG or PNG to
// the run's file choices sdDiagramPdf, sdDiagramSvg and sdDiagramPng. Made anew for each opening
// and shown modally; it reads the work table and the chosen ends once, when made, and writes
// nothing back. Every command runs inside the command guard.
class TfmDiagram : public ToolWindow
{
    Q_OBJECT

public:
    // The resolutions a PNG is offered at, in pixels to the inch.
    static constexpr int kPngResolutions[] = {96, 150, 300};

    // Lays the network out now: raises what a recalculation with these ends would raise (the
    // loop message among them), and the window is then not made.
    TfmDiagram(const WorkCells& table, const EventIndex& events, const QString& startEvent,
               const QString& endEvent, const NumberFormat& numbers, QWidget* parent = nullptr);
    ~TfmDiagram() override;

    const DiagramModel& model() const { return m_model; }
    const NetworkLayout& layout() const { return m_layout; }
    const DiagramScene& scene() const { return *m_scene; }
    DiagramView* view() const { return gvDiagram; }

    // Handlers, as the controls run them.
    void cbSectorsChange();
    void cbFloatsChange();
    void tbZoomFitClick();
    void tbZoom100Click();
    void zoomInClick();
    void zoomOutClick();
    void tbPrintDiagramClick();
    void tbSaveDiagramClick();
    void tbCloseDiagramClick();
    // Asks for the file name and writes the file; dotsPerInch for PNG only.
    void saveDiagram(PictureFormat format, int dotsPerInch);

private:
    void addCommands();
    void buildToolBar();
    // A scene for the options the controls show now.
    void rebuildScene();

    const DiagramModel m_model;
    const DiagramSizes m_sizes;
    const NetworkLayout m_layout;
    std::shared_ptr<const DiagramScene> m_scene;

    QToolBar* ToolBar1 = nullptr;
    QComboBox* cbPaper = nullptr;
    QComboBox* cbPrintPages = nullptr;
    QLabel* lbZoom = nullptr;
    QCheckBox* cbSectors = nullptr;
    QCheckBox* cbFloats = nullptr;
    DiagramView* gvDiagram = nullptr;
};
