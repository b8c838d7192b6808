#include "ListCombo.h"

#include <QComboBox>
#include <QListView>
#include <QSignalBlocker>
#include <QStringListModel>

namespace listcombo {

namespace {

QStringListModel* modelOf(const QComboBox* box)
{
    return qobject_cast<QStringListModel*>(box->model());
}

} // namespace

void install(QComboBox* box, QComboBox* shareWith)
{
    QStringListModel* model = shareWith ? modelOf(shareWith) : new QStringListModel(box);
    const QSignalBlocker blocker(box);
    box->setModel(model);
    box->setCurrentIndex(-1);
    // The width comes from the box's own geometry, never from scanning the entries.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* view = new QListView(box);
    view->setUniformItemSizes(true);
    box->setView(view);
}

void setEntries(QComboBox* box, const QStringList& entries)
{
    const QString kept = box->currentText();
    const QSignalBlocker blocker(box);
    modelOf(box)->setStringList(entries);
    box->setCurrentIndex(-1);
    box->setEditText(kept);
}

QStringList entries(const QComboBox* box)
{
    return modelOf(box)->stringList();
}

} // namespace listcombo
