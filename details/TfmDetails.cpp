#include "TfmDetails.h"

#include "ErrorBox.h"
#include "Plan.h"
#include "ResourcesTable.h"
#include "WorkInputs.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

// Hands a committed cell text to the table's own setter under the command guard. The setter runs
// once the editor is gone, so the error box of a refusal does not take the focus from an open
// editor (which would commit it again); the cell then keeps its old value.
class CommittingDelegate final : public QStyledItemDelegate
{
public:
    using Setter = std::function<void(int row, int column, const QString& text)>;

    CommittingDelegate(QWidget* window, Setter setter)
        : QStyledItemDelegate(window), m_window(window), m_setter(std::move(setter))
    {
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line)
            return;
        const QString text = line->text();
        const int row = index.row();
        const int column = index.column();
        QWidget* window = m_window;
        const Setter setter = m_setter;
        QTimer::singleShot(0, window, [window, setter, row, column, text] {
            runGuarded(window, [&] { setter(row, column, text); });
        });
    }

private:
    QWidget* m_window;
    Setter m_setter;
};

QTableView* makeTable(const char* name, QAbstractItemModel* model, QWidget* parent)
{
    auto* view = new QTableView(parent);
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    return view;
}

QToolButton* makeButton(const char* name, const QString& text, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setToolTip(text);
    button->setAutoRaise(true);
    return button;
}

} // namespace

TfmDetails::TfmDetails(WorkTable& table, Plan& plan, const NumberFormat& numbers,
                       DetailsTable::Change change, QWidget* parent)
    : QDialog(parent), m_table(table), m_plan(plan), m_change(std::move(change))
{
    setObjectName(QStringLiteral("fmDetails"));
    setWindowTitle(QStringLiteral("Сведения о работах"));
    setModal(true);
    resize(900, 560);

    m_details = new DetailsTable(table, plan, numbers, m_change, this);
    m_resources = new ResourcesTable(plan, numbers, this);
    connect(m_resources, &ResourcesTable::resourcesChanged, m_details,
            &DetailsTable::resourcesChanged);

    // Each change of the resources model is one edit of the plan's resources, announced once.
    connect(m_resources, &QAbstractItemModel::dataChanged, this, &TfmDetails::resourcesEdited);
    connect(m_resources, &QAbstractItemModel::rowsInserted, this, &TfmDetails::resourcesEdited);
    connect(m_resources, &QAbstractItemModel::rowsRemoved, this, &TfmDetails::resourcesEdited);

    sgDetails = makeTable("sgDetails", m_details, this);
    sgDetails->setItemDelegate(
        new CommittingDelegate(this, [this](int row, int column, const QString& text) {
            m_details->setText(row, column, text);
        }));
    sgResources = makeTable("sgResources", m_resources, this);
    sgResources->setItemDelegate(
        new CommittingDelegate(this, [this](int row, int column, const QString& text) {
            m_resources->setText(row, column, text);
        }));
    sgResources->horizontalHeader()->setStretchLastSection(true);
    // Sized once to what the first rows hold (Qt measures at most a thousand of them), so the
    // captions and names read whole without a wait on a large plan.
    sgDetails->resizeColumnsToContents();
    sgResources->resizeColumnsToContents();

    sbAddResource = makeButton("sbAddResource", QStringLiteral("Добавить ресурс"), this);
    sbDelResource = makeButton("sbDelResource", QStringLiteral("Удалить ресурс"), this);
    connect(sbAddResource, &QToolButton::clicked, this,
            [this] { runGuarded(this, [this] { sbAddResourceClick(); }); });
    connect(sbDelResource, &QToolButton::clicked, this,
            [this] { runGuarded(this, [this] { sbDelResourceClick(); }); });
    const auto enableDelete = [this] {
        sbDelResource->setEnabled(sgResources->currentIndex().isValid());
    };
    connect(sgResources->selectionModel(), &QItemSelectionModel::currentChanged, this,
            enableDelete);
    connect(m_resources, &QAbstractItemModel::rowsRemoved, this, enableDelete);
    enableDelete();

    // Ctrl+C and Ctrl+V of the grid are blocks of cells, not the view's own copy of one cell.
    sgDetails->installEventFilter(this);

    auto* resourceBar = new QHBoxLayout;
    resourceBar->addWidget(new QLabel(QStringLiteral("Ресурсы"), this));
    resourceBar->addWidget(sbAddResource);
    resourceBar->addWidget(sbDelResource);
    resourceBar->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sgDetails, 3);
    layout->addLayout(resourceBar);
    layout->addWidget(sgResources, 1);
}

bool TfmDetails::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == sgDetails && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            runGuarded(this, [this] { copyDetails(); });
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            runGuarded(this, [this] { pasteDetails(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmDetails::sbAddResourceClick()
{
    const int row = m_resources->addResource();
    sgResources->setCurrentIndex(m_resources->index(row, ResourcesTable::Name));
}

void TfmDetails::sbDelResourceClick()
{
    const QModelIndex current = sgResources->currentIndex();
    if (!current.isValid())
        return;
    const ResourceId resource = m_resources->resourceOfRow(current.row());
    std::vector<int> users;
    for (int row = 0; row < m_table.rowCount(); ++row) {
        if (!m_table.detailsText(row).isEmpty() && m_table.details(row).demand(resource))
            users.push_back(row);
    }
    if (!users.empty()) {
        QMessageBox question(QMessageBox::Question, windowTitle(),
                             QStringLiteral("Ресурс «%1» нужен работам (%2). Удалить его вместе "
                                            "с потребностями работ?")
                                 .arg(m_plan.resource(resource)->name)
                                 .arg(users.size()),
                             QMessageBox::Yes | QMessageBox::No, this);
        question.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
        question.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
        question.setDefaultButton(QMessageBox::No);
        if (question.exec() != QMessageBox::Yes)
            return;
        // The demands go as one change of the rows from the first user to the last.
        const int first = users.front();
        const int count = users.back() - first + 1;
        WorkInputs rows;
        for (int row = first; row < first + count; ++row) {
            WorkDetails details = m_table.details(row);
            details.setDemand(resource, std::nullopt);
            rows.append(m_table.cellView(WorkColumn::StartEvent, row),
                        m_table.cellView(WorkColumn::EndEvent, row),
                        m_table.cellView(WorkColumn::Duration, row), details);
        }
        m_change(first, count, rows);
    }
    m_resources->removeResource(current.row());
}

void TfmDetails::copyDetails()
{
    const QModelIndexList selected = sgDetails->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    int top = selected.front().row(), bottom = top;
    int left = selected.front().column(), right = left;
    for (const QModelIndex& index : selected) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    QGuiApplication::clipboard()->setText(m_details->copyBlock(top, left, bottom, right));
}

void TfmDetails::pasteDetails()
{
    QModelIndex at = sgDetails->currentIndex();
    const QModelIndexList selected = sgDetails->selectionModel()->selectedIndexes();
    for (const QModelIndex& index : selected) {
        if (!at.isValid() || index.row() < at.row() ||
            (index.row() == at.row() && index.column() < at.column()))
            at = index;
    }
    if (!at.isValid())
        return;
    m_details->pasteBlock(at.row(), at.column(), QGuiApplication::clipboard()->text());
}
