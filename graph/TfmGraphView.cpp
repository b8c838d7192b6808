#include "TfmGraphView.h"

#include "CheckedArithmetic.h"
#include "ClassicFonts.h"
#include "Edition.h"
#include "ErrorBox.h"
#include "EventMarker.h"
#include "GuardedCommand.h"
#include "MarkerPlacement.h"
#include "NameCollation.h"
#include "NetworkDrawing.h"
#include "PictureButton.h"
#include "Pictures.h"
#include "PixelRounding.h"
#include "PrivateTempFolder.h"
#include "WorkCells.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The client area of a window whose outer size is 800 x 600 under the classic sizeable frame
// (4-pixel borders, 19-pixel caption): the drawing area below the tool band is then 792 x 544.
constexpr QSize kClientSize(792, 573);
constexpr QSize kClassicFrame(8, 27);
// The clearing rectangle ends this far inside the window's outer bottom-right corner.
constexpr int kClearingInset = 7;
constexpr int kPointsWidth = 217;
constexpr QPoint kInsertedAt(10, 50);
const QLatin1String kTemporaryPicture("$kestrin-graph$.bmp");
// Shows the picture in iMain when a drawing ends, also when it stops on an error: what was drawn
// until then stays visible.
class PictureShownOnExit
{
public:
    explicit PictureShownOnExit(std::function<void()> show) : m_show(std::move(show)) {}
    ~PictureShownOnExit() { m_show(); }
    PictureShownOnExit(const PictureShownOnExit&) = delete;
    PictureShownOnExit& operator=(const PictureShownOnExit&) = delete;

private:
    std::function<void()> m_show;
};

// The graph report's temporary picture goes once the report is done with it, also when printing
// failed: the report holds its own copy of the picture.
class FileRemovedOnExit
{
public:
    explicit FileRemovedOnExit(QString path) : m_path(std::move(path)) {}
    ~FileRemovedOnExit() { QFile::remove(m_path); }
    FileRemovedOnExit(const FileRemovedOnExit&) = delete;
    FileRemovedOnExit& operator=(const FileRemovedOnExit&) = delete;

private:
    QString m_path;
};

} // namespace

TfmGraphView::TfmGraphView(const WorkCells& table, const QStringList& criticalPath,
                           const NumberFormat& numbers, const NameCollation& names, QWidget* parent)
    : ToolWindow(parent, "fmGraphView", editionTitle(QStringLiteral("построение графа"))),
      m_table(table), m_criticalPath(criticalPath), m_numbers(numbers), m_names(names)
{
    QVBoxLayout* layout = makeColumn(0);

    CoolBar1 = new QWidget(this);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    CoolBar1->setFixedHeight(kToolBandHeight);
    buildToolBars();
    layout->addWidget(CoolBar1);

    pMainPad = new QFrame(this);
    pMainPad->setObjectName(QStringLiteral("pMainPad"));
    pMainPad->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pMainPad->setLineWidth(1);
    pMainPad->setMouseTracking(true);
    // At least a one-pixel picture inside the bevel, however small the window is made.
    pMainPad->setMinimumSize(2, 2);
    pMainPad->installEventFilter(this);
    layout->addWidget(pMainPad, 1);

    iMain = new QLabel(pMainPad);
    iMain->setObjectName(QStringLiteral("iMain"));
    iMain->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    iMain->setAttribute(Qt::WA_NoMousePropagation);
    iMain->hide();

    sdView = new QFileDialog(this);
    sdView->setObjectName(QStringLiteral("sdView"));
    sdView->setOption(QFileDialog::DontUseNativeDialog);
    sdView->setOption(QFileDialog::DontConfirmOverwrite);
    sdView->setAcceptMode(QFileDialog::AcceptSave);
    sdView->setFileMode(QFileDialog::AnyFile);
    sdView->setNameFilters({QStringLiteral("Файлы BMP (*.bmp)"), QStringLiteral("Все файлы (*)")});
    sdView->setOption(QFileDialog::HideNameFilterDetails);
    sdView->setDefaultSuffix(QStringLiteral("bmp"));
    sdView->setModal(true);

    resize(kClientSize);
    // The drawing area has its size from now on, not only once the window is first shown.
    layout->activate();
    FormCreate();
}

TfmGraphView::~TfmGraphView() = default;

void TfmGraphView::buildToolBars()
{
    auto* bands = new QHBoxLayout(CoolBar1);
    bands->setContentsMargins(2, 2, 2, 2);
    bands->setSpacing(2);

    const auto makeBar = [this](const char* name) {
        return makeFlatToolBar(CoolBar1, name);
    };

    ToolBar1 = makeBar("ToolBar1");
    tbSaveView =
        addCommand(ToolBar1, "tbSaveView", Picture::SaveView, QStringLiteral("Сохранить граф"));
    tbPrintGraph = addCommand(ToolBar1, "tbPrintGraph", Picture::PrintGraph,
                              QStringLiteral("Распечатать граф"));
    ToolBar1->addSeparator();
    ToolButton5 = addCommand(ToolBar1, "ToolButton5", Picture::CloseGraph,
                             QStringLiteral("Закончить работу с графом"));

    ToolBar2 = makeBar("ToolBar2");
    cbPoints = new QComboBox(ToolBar2);
    cbPoints->setObjectName(QStringLiteral("cbPoints"));
    cbPoints->setEditable(false);
    cbPoints->setFixedWidth(kPointsWidth);
    ToolBar2->addWidget(cbPoints);
    ToolBar2->addSeparator();
    tbInsPoint = addCommand(ToolBar2, "tbInsPoint", Picture::InsertPoint,
                            QStringLiteral("Вставить текущую точку"));
    tbAutoPlace = addCommand(ToolBar2, "tbAutoPlace", Picture::AutoPlace,
                             QStringLiteral("Расставить точки критического пути автоматически"));
    tbPlaceAll = addCommand(ToolBar2, "tbPlaceAll", Picture::Diagram,
                            QStringLiteral("Разместить все события"));
    ToolBar2->addSeparator();
    tbDrawGraph =
        addCommand(ToolBar2, "tbDrawGraph", Picture::DrawGraph, QStringLiteral("Отрисовать граф"));
    tbDrawGraph->setCheckable(true);

    bands->addWidget(ToolBar1);
    bands->addWidget(ToolBar2);
    bands->addStretch(1);

    // Every change of the selection, by mouse or keyboard, and none of the program's own changes,
    // which run cbPointsChange themselves.
    connect(cbPoints, &QComboBox::currentIndexChanged, this,
            guarded(this, &TfmGraphView::cbPointsChange));
    connect(tbSaveView, &QToolButton::clicked, this, guarded(this, &TfmGraphView::tbSaveViewClick));
    connect(tbPrintGraph, &QToolButton::clicked, this,
            guarded(this, &TfmGraphView::tbPrintGraphClick));
    connect(ToolButton5, &QToolButton::clicked, this,
            guarded(this, &TfmGraphView::ToolButton5Click));
    connect(tbInsPoint, &QToolButton::clicked, this,
            [this] { runGuarded(this, [this] { BitBtn2Click(tbInsPoint); }); });
    connect(tbAutoPlace, &QToolButton::clicked, this,
            guarded(this, &TfmGraphView::tbAutoPlaceClick));
    connect(tbPlaceAll, &QToolButton::clicked, this, guarded(this, &TfmGraphView::tbPlaceAllClick));
    connect(tbDrawGraph, &QToolButton::clicked, this,
            guarded(this, &TfmGraphView::tbDrawGraphClick));
}

QToolButton* TfmGraphView::addCommand(QToolBar* bar, const char* name, Picture picture,
                                      const QString& hint)
{
    return addToolBarCommand<TfmGraphView>(this, bar, name, picture, hint);
}

void TfmGraphView::FormCreate()
{
    QStringList events;
    const int rows = m_table.rowCount();
    events.reserve(2 * rows);
    for (int row = 0; row < rows; ++row)
        events.append(m_table.cell(WorkColumn::StartEvent, row));
    for (int row = 0; row < rows; ++row)
        events.append(m_table.cell(WorkColumn::EndEvent, row));
    // One entry per event ignoring letter case, spelled as first met: start events, then ends.
    const QStringList entries = m_names.distinctSorted(events);
    m_entries = entries;

    // Entries first, so that a path name equal to an entry has that entry as its first equal.
    QStringList names = entries;
    names.append(m_criticalPath);
    const std::vector<int> firstEqual = m_names.firstEqualIndex(names);
    const int entryCount = static_cast<int>(entries.size());
    m_pathEntry = QStringList(m_criticalPath.size(), QString());
    for (int position = 0; position < m_criticalPath.size(); ++position) {
        if (m_criticalPath[position].isEmpty())
            continue;
        const int equal = firstEqual[static_cast<std::size_t>(entryCount + position)];
        if (equal >= entryCount)
            continue;
        const QString& entry = entries[equal];
        m_pathEntry[position] = entry;
        if (!m_pathPosition.contains(entry))
            m_pathPosition.insert(entry, position);
    }

    {
        const QSignalBlocker blocker(cbPoints);
        cbPoints->clear();
        cbPoints->addItems(entries);
        cbPoints->setCurrentIndex(-1);
    }
    cbPointsChange();
    m_markers.clear();
    m_pictureShown = false;
}

void TfmGraphView::setPrintPicture(PrintPicture printPicture)
{
    m_printPicture = std::move(printPicture);
}

const QImage& TfmGraphView::picture() const
{
    return m_picture.image();
}

void TfmGraphView::cbPointsChange()
{
    tbInsPoint->setEnabled(!cbPoints->currentText().isEmpty());
}

void TfmGraphView::BitBtn2Click(QObject* sender)
{
    const int selected = cbPoints->currentIndex();
    // tbInsPoint is disabled while nothing is selected; automatic placement always selects.
    if (selected < 0)
        return;
    const QString caption = cbPoints->itemText(selected);

    QPoint at = kInsertedAt;
    m_dragging = true;
    if (sender == tbAutoPlace) {
        // Markers of the path in one row across the middle, event i of n at i/n of the width.
        const int top = roundToPixel(pMainPad->height() / 2.0L);
        const long double position = m_pathPosition.value(caption, -1);
        const long double count = m_criticalPath.size();
        const int left = roundToPixel(checked::divide(position * pMainPad->width(), count));
        at = QPoint(left, top);
        m_dragging = false;
    }
    placeMarker(selected, at);
}

void TfmGraphView::placeMarker(int entry, QPoint at)
{
    auto* marker = new EventMarker(cbPoints->itemText(entry), pMainPad);
    marker->move(at);
    marker->setVisible(!m_pictureShown);
    connect(marker, &EventMarker::clicked, this,
            [this, marker] { runGuarded(this, [this, marker] { DraggedClick(marker); }); });
    m_current = marker;

    {
        const QSignalBlocker blocker(cbPoints);
        cbPoints->removeItem(entry);
        cbPoints->setCurrentIndex(-1);
    }
    cbPointsChange();
    m_markers.push_back(marker);
}

void TfmGraphView::DraggedClick(QObject* sender)
{
    auto* marker = qobject_cast<EventMarker*>(sender);
    if (!marker)
        return;
    if (m_dragging) {
        // A click on any marker drops the one being dragged where it stands.
        m_dragging = false;
        return;
    }
    m_dragging = true;
    m_current = marker;
}

void TfmGraphView::pMainPadMouseMove(int x, int y)
{
    if (m_dragging && m_current)
        m_current->move(x, y);
}

void TfmGraphView::pMainPadResize()
{
    m_picture.resize(pMainPad->width() - 1, pMainPad->height() - 1);
    m_picture.clear(clearingCorner());
    showPictureContent();
}

void TfmGraphView::tbAutoPlaceClick()
{
    for (const QString& entry : std::as_const(m_pathEntry)) {
        if (entry.isNull())
            continue;
        const int index = cbPoints->findText(entry);
        if (index < 0)
            continue;
        cbPoints->setCurrentIndex(index);
        BitBtn2Click(tbAutoPlace);
    }
}

void TfmGraphView::tbPlaceAllClick()
{
    std::vector<char> listed(std::size_t(m_entries.size()));
    for (qsizetype entry = 0; entry < m_entries.size(); ++entry)
        listed[std::size_t(entry)] = cbPoints->findText(m_entries[entry]) >= 0;
    std::vector<QRect> taken;
    for (const EventMarker* marker : m_markers)
        taken.push_back(marker->geometry());
    const MarkerPlacement placement =
        placeAllMarkers(m_table, m_names, m_entries, m_pathEntry, listed, taken,
                        QSize(pMainPad->width(), m_picture.image().height()),
                        QSize(EventMarker::kWidth, EventMarker::kHeight));
    for (const MarkerSpot& spot : placement.placed)
        placeMarker(cbPoints->findText(m_entries[spot.entry]), spot.topLeft);
    const int placed = int(placement.placed.size());
    const int crowded = placement.crowded;
    if (placed > 0)
        m_dragging = false;
    if (crowded > 0)
        showNoticeBox(this, QStringLiteral("Сеть не помещается в область без наложений: "
                                           "размещено событий %1 из %2, остальные остались в "
                                           "списке")
                                .arg(placed)
                                .arg(placed + crowded));
}

void TfmGraphView::tbDrawGraphClick()
{
    m_pictureShown = !m_pictureShown;
    tbDrawGraph->setChecked(m_pictureShown);
    if (!m_pictureShown) {
        iMain->hide();
        for (EventMarker* marker : m_markers)
            marker->show();
        return;
    }

    iMain->show();
    const PictureShownOnExit shown([this] { showPictureContent(); });
    m_picture.clear(clearingCorner());
    std::vector<PlacedEvent> events;
    events.reserve(m_markers.size());
    for (EventMarker* marker : m_markers) {
        marker->hide();
        events.push_back(
            {marker->text(), marker->geometry(), m_pathPosition.value(marker->text(), -1)});
    }
    GraphPicture::Canvas canvas(m_picture);
    drawNetwork(canvas, events, m_table, m_numbers);
}

void TfmGraphView::tbSaveViewClick()
{
    if (sdView->exec() != QDialog::Accepted)
        return;
    const QStringList chosen = sdView->selectedFiles();
    if (chosen.isEmpty())
        return;
    // Offered again at the next save while the window is open.
    sdView->selectFile(chosen.first());
    m_picture.saveAsBmp(chosen.first());
}

void TfmGraphView::tbPrintGraphClick()
{
    const QString folder = privateTempFolder();
    if (folder.isEmpty())
        throw KestrinError(QStringLiteral("Cannot create file %1").arg(kTemporaryPicture));
    const QString path = QDir(folder).filePath(kTemporaryPicture);
    m_picture.saveAsBmp(path);
    const FileRemovedOnExit removed(path);
    if (m_printPicture)
        m_printPicture(path);
}

void TfmGraphView::ToolButton5Click()
{
    close();
}

QPoint TfmGraphView::clearingCorner() const
{
    // The rectangle is meant to reach past the picture's right and bottom edges, as it does with
    // a window frame around the client area. Where the window system reports no frame (no window
    // manager, or one that draws none), the classic frame stands in for it, so that no stray
    // outline appears inside the picture.
    const QSize outer = frameGeometry().size().expandedTo(size() + kClassicFrame);
    return QPoint(outer.width() - kClearingInset, outer.height() - kClearingInset);
}

void TfmGraphView::showPictureContent()
{
    iMain->setPixmap(QPixmap::fromImage(m_picture.image()));
}

bool TfmGraphView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pMainPad) {
        switch (event->type()) {
        case QEvent::MouseMove: {
            const QPointF at = static_cast<QMouseEvent*>(event)->position();
            runGuarded(this, [this, at] {
                pMainPadMouseMove(roundToPixel(at.x()), roundToPixel(at.y()));
            });
            break;
        }
        case QEvent::Resize:
            iMain->setGeometry(pMainPad->contentsRect());
            runGuarded(this, [this] { pMainPadResize(); });
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
