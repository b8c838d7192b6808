#include "TfmGraphView.h"

#include "CheckedArithmetic.h"
#include "ClassicFonts.h"
#include "Commands.h"
#include "Edition.h"
#include "ErrorBox.h"
#include "EventMarker.h"
#include "FileChoice.h"
#include "FileErrorText.h"
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
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalBlocker>
#include <QToolBar>
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

// Where the picture is saved.
FileChoice::Wanted pictureChoice()
{
    return {"sdView",
            FileChoice::Mode::Save,
            {{QStringLiteral("Файлы BMP (*.bmp)"), QStringLiteral("bmp")}}};
}

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

    // Made with the window, so that it is ready before the first save asks for it.
    FileChoice::of(this, pictureChoice());

    resize(kClientSize);
    // The drawing area has its size from now on, not only once the window is first shown.
    layout->activate();
    FormCreate();
}

TfmGraphView::~TfmGraphView() = default;

void TfmGraphView::buildToolBars()
{
    using C = Command<TfmGraphView>;
    commands().add<TfmGraphView>(
        this,
        {
            C{"tbSaveView", Picture::SaveView, u"Сохранить граф", &TfmGraphView::tbSaveViewClick,
              commandkeys::save()},
            C{"tbPrintGraph", Picture::PrintGraph, u"Распечатать граф",
              &TfmGraphView::tbPrintGraphClick, commandkeys::print()},
            C{"ToolButton5", Picture::CloseGraph, u"Закончить работу с графом",
              &TfmGraphView::ToolButton5Click, commandkeys::close()},
            C{"tbInsPoint", Picture::InsertPoint, u"Вставить текущую точку",
              &TfmGraphView::tbInsPointClick},
            C{"tbAutoPlace", Picture::AutoPlace,
              u"Расставить точки критического пути автоматически", &TfmGraphView::tbAutoPlaceClick},
            C{"tbPlaceAll", Picture::Diagram, u"Разместить все события",
              &TfmGraphView::tbPlaceAllClick},
            C{"tbDrawGraph",
              Picture::DrawGraph,
              u"Отрисовать граф",
              &TfmGraphView::tbDrawGraphClick,
              {},
              nullptr,
              true},
        });

    auto* bands = new QHBoxLayout(CoolBar1);
    bands->setContentsMargins(2, 2, 2, 2);
    bands->setSpacing(2);
    QToolBar* bar1 =
        makeToolBar(CoolBar1, "ToolBar1", {"tbSaveView", "tbPrintGraph", nullptr, "ToolButton5"});
    QToolBar* bar2 = makeToolBar(CoolBar1, "ToolBar2", {});
    cbPoints = new QComboBox(bar2);
    cbPoints->setObjectName(QStringLiteral("cbPoints"));
    cbPoints->setEditable(false);
    cbPoints->setFixedWidth(kPointsWidth);
    bar2->addWidget(cbPoints);
    bar2->addSeparator();
    for (const char* name : {"tbInsPoint", "tbAutoPlace", "tbPlaceAll",
                             static_cast<const char*>(nullptr), "tbDrawGraph"}) {
        if (name)
            commands().addButton(bar2, name);
        else
            bar2->addSeparator();
    }
    bands->addWidget(bar1);
    bands->addWidget(bar2);
    bands->addStretch(1);

    // Every change of the selection, by mouse or keyboard, and none of the program's own changes,
    // which run cbPointsChange themselves.
    connect(cbPoints, &QComboBox::currentIndexChanged, this,
            guarded(this, &TfmGraphView::cbPointsChange));
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

std::vector<EventPlacement> TfmGraphView::placement() const
{
    std::vector<EventPlacement> placed;
    placed.reserve(m_markers.size());
    for (const EventMarker* marker : m_markers)
        placed.push_back({marker->text(), marker->pos()});
    return placed;
}

void TfmGraphView::restorePlacement(const std::vector<EventPlacement>& placement)
{
    QStringList names = m_entries;
    for (const EventPlacement& event : placement)
        names.append(event.event);
    // Entries first, so that a stored name equal to an entry has that entry as its first equal.
    const std::vector<int> firstEqual = m_names.firstEqualIndex(names);
    const qsizetype entryCount = m_entries.size();
    bool placedAny = false;
    for (qsizetype stored = 0; stored < qsizetype(placement.size()); ++stored) {
        const int equal = firstEqual[std::size_t(entryCount + stored)];
        if (equal >= entryCount)
            continue;
        const int entry = cbPoints->findText(m_entries[equal]);
        if (entry < 0)
            continue;
        placeMarker(entry, placement[std::size_t(stored)].at);
        placedAny = true;
    }
    // Each one dropped where it stood, as after a click on it.
    if (placedAny)
        m_dragging = false;
}

void TfmGraphView::updateCommands()
{
    commands().setEnabled("tbInsPoint", !cbPoints->currentText().isEmpty());
    commands().setChecked("tbDrawGraph", m_pictureShown);
}

void TfmGraphView::cbPointsChange()
{
    updateCommands();
}

void TfmGraphView::tbInsPointClick()
{
    BitBtn2Click(commands().action("tbInsPoint"));
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
    if (sender && sender->objectName() == QLatin1String("tbAutoPlace")) {
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
        BitBtn2Click(commands().action("tbAutoPlace"));
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
    updateCommands();
    if (!m_pictureShown) {
        iMain->hide();
        for (EventMarker* marker : m_markers)
            marker->show();
        return;
    }

    iMain->show();
    // Shown when the drawing ends, also when it stops on an error: what was drawn until then
    // stays visible.
    const auto shown = qScopeGuard([this] { showPictureContent(); });
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
    const QString path = FileChoice::of(this, pictureChoice()).choosePath();
    if (!path.isEmpty())
        m_picture.saveAsBmp(path);
}

void TfmGraphView::tbPrintGraphClick()
{
    const QString folder = privateTempFolder();
    if (folder.isEmpty())
        throw KestrinError(cannotCreateFileText(kTemporaryPicture));
    const QString path = QDir(folder).filePath(kTemporaryPicture);
    m_picture.saveAsBmp(path);
    // The graph report's temporary picture goes once the report is done with it, also when
    // printing failed: the report holds its own copy of the picture.
    const auto removed = qScopeGuard([&path] { QFile::remove(path); });
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
