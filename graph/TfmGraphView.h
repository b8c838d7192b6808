#pragma once

#include "GraphPicture.h"
#include "Plan.h"

#include "ToolWindow.h"
#include <QHash>
#include <QStringList>

#include <functional>
#include <vector>

class EventMarker;
class NameCollation;
class NumberFormat;
class QComboBox;
class QFrame;
class QLabel;
class WorkCells;

// The graph window: the events of the work table are laid out as markers on the drawing area
// pMainPad, by hand or along the critical path, and the network is drawn from their positions into
// the graph picture, which can be saved as BMP (through the run's file choice sdView) and printed.
// The window is made anew for each opening and shown modally; it reads the work table and the
// critical path list and changes neither. Every command runs inside the command guard, which shows
// any error in the error box.
class TfmGraphView : public ToolWindow
{
    Q_OBJECT

public:
    // Hands the picture, written as a BMP file, to the graph report for its print preview; runs
    // modally and returns when the preview has closed.
    using PrintPicture = std::function<void(const QString& pictureFile)>;

    // FormCreate runs here. The table, the number format and the collation must outlive the
    // window; the critical path list is read now (the main window is blocked while this is open).
    TfmGraphView(const WorkCells& table, const QStringList& criticalPath,
                 const NumberFormat& numbers, const NameCollation& names,
                 QWidget* parent = nullptr);
    ~TfmGraphView() override;

    void setPrintPicture(PrintPicture printPicture);

    // The events placed so far, in the order they were placed, each where its marker stands now.
    std::vector<EventPlacement> placement() const;
    // Places again, in their order, the events of an earlier placement that are still listed,
    // each where it stood, as the user places them by hand; names that match no listed event
    // (deleted or renamed meanwhile, or already placed) are skipped. Letter case is ignored, as
    // the list ignores it.
    void restorePlacement(const std::vector<EventPlacement>& placement);

    // The graph picture: (drawing-area width - 1) x (drawing-area height - 1) pixels.
    const QImage& picture() const;

    // The markers in the order they were inserted, the one following the pointer, and the states.
    const std::vector<EventMarker*>& markers() const { return m_markers; }
    EventMarker* currentMarker() const { return m_current; }
    bool isDragging() const { return m_dragging; }
    bool isPictureShown() const { return m_pictureShown; }

    // Handlers, as the controls run them.
    void cbPointsChange();
    // Places the selected entry: where the user drops it, or on the critical path's line when the
    // sender is tbAutoPlace (its button or its command).
    void BitBtn2Click(QObject* sender);
    void tbInsPointClick();
    void DraggedClick(QObject* marker);
    void pMainPadMouseMove(int x, int y);
    void pMainPadResize();
    void tbAutoPlaceClick();
    void tbPlaceAllClick();
    void tbDrawGraphClick();
    void tbSaveViewClick();
    void tbPrintGraphClick();
    void ToolButton5Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void updateCommands() override;

private:
    void FormCreate();
    void buildToolBars();
    // Makes the marker of entry `entry` of cbPoints at `at`, the current one, and takes the entry
    // off the list.
    void placeMarker(int entry, QPoint at);
    // The far corner of the clearing rectangle: the window's outer size less 7 in each direction.
    QPoint clearingCorner() const;
    void showPictureContent();

    const WorkCells& m_table;
    const QStringList m_criticalPath;
    const NumberFormat& m_numbers;
    const NameCollation& m_names;
    PrintPicture m_printPicture;

    // Worked out once for the entries of cbPoints, which are the only names ever placed: the
    // position of each entry in the critical path list (absent when off the path), and for each
    // name of the list the entry it stands for (null when none does).
    QHash<QString, int> m_pathPosition;
    QStringList m_pathEntry;
    // Every entry cbPoints was filled with, placed or not.
    QStringList m_entries;

    QWidget* CoolBar1 = nullptr;
    QComboBox* cbPoints = nullptr;
    QFrame* pMainPad = nullptr;
    QLabel* iMain = nullptr;

    std::vector<EventMarker*> m_markers;
    EventMarker* m_current = nullptr;
    bool m_dragging = false;
    bool m_pictureShown = false;
    GraphPicture m_picture;
};
