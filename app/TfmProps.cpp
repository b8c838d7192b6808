#include "TfmProps.h"

#include "ErrorBox.h"
#include "EventIndex.h"
#include "GuardedCommand.h"
#include "ListCombo.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Pictures.h"
#include "WorkCells.h"
#include "WorkInputCheck.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

QLabel* makeLabel(const char* name, const QString& caption, QPoint position, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->move(position);
    label->adjustSize();
    return label;
}

QComboBox* makeEventBox(const char* name, QRect geometry, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->setGeometry(geometry.x(), geometry.y(), geometry.width(), box->sizeHint().height());
    return box;
}

} // namespace

TfmProps::TfmProps(const WorkCells& table, const NameCollation& names, const NumberFormat& numbers,
                   QWidget* parent)
    : TfmProps(EventIndex(table, names), numbers, parent)
{
}

TfmProps::TfmProps(const EventIndex& events, const NumberFormat& numbers, QWidget* parent)
    : ClassicDialog("fmProps", QStringLiteral("Параметры элемента графика"), QSize(280, 105),
                    parent),
      m_numbers(numbers)
{
    Label1 = makeLabel("Label1", QStringLiteral("Начало элемента"), {2, 12}, this);
    cbFrom = makeEventBox("cbFrom", {104, 8, 169, 0}, this);
    listcombo::install(cbFrom);
    // Start events in row order, then the end events not listed yet; not sorted.
    listcombo::setEntries(cbFrom, events.namesInRowOrder());
    Label2 = makeLabel("Label2", QStringLiteral("Конец элемента"), {2, 36}, this);
    cbTo = makeEventBox("cbTo", {104, 32, 169, 0}, this);
    listcombo::install(cbTo, cbFrom); // one list for both
    Label3 = makeLabel("Label3", QStringLiteral("Длина элемента"), {2, 60}, this);
    eLength = new QLineEdit(this);
    eLength->setObjectName(QStringLiteral("eLength"));
    eLength->setGeometry(151, 56, 121, eLength->sizeHint().height());
    sbOk = addPictureButton("sbOk", Picture::Accept,
                            QStringLiteral("Принять новые параметры элемента"), {224, 81});
    sbCancel = addPictureButton("sbCancel", Picture::Cancel,
                                QStringLiteral("Не изменять параметры элемента"), {249, 81});
    Label1->setBuddy(cbFrom);
    Label2->setBuddy(cbTo);
    Label3->setBuddy(eLength);
    cbFrom->setAccessibleName(Label1->text());
    cbTo->setAccessibleName(Label2->text());
    eLength->setAccessibleName(Label3->text());
    setTabOrder(cbFrom, cbTo);
    setTabOrder(cbTo, eLength);
    setTabOrder(eLength, sbOk);
    setTabOrder(sbOk, sbCancel);

    // Every handler runs under the command guard, as the main window's commands do.
    for (QComboBox* box : {cbFrom, cbTo}) {
        connect(box, &QComboBox::currentTextChanged, this, guarded(this, &TfmProps::cbFromChange));
        connect(box, &QComboBox::editTextChanged, this, guarded(this, &TfmProps::cbFromChange));
    }
    connect(eLength, &QLineEdit::textChanged, this, guarded(this, &TfmProps::cbFromChange));
    connect(sbOk, &QToolButton::clicked, this, guarded(this, &TfmProps::sbOkClick));
    connect(sbCancel, &QToolButton::clicked, this, guarded(this, &TfmProps::sbCancelClick));

    setTag(0);
    cbFromChange();
    cbFrom->setFocus();
}

void TfmProps::setWork(const QString& startEvent, const QString& endEvent, const QString& duration)
{
    cbFrom->setEditText(startEvent);
    cbTo->setEditText(endEvent);
    eLength->setText(duration);
}

QString TfmProps::startEvent() const
{
    return cbFrom->currentText();
}

QString TfmProps::endEvent() const
{
    return cbTo->currentText();
}

QString TfmProps::durationText() const
{
    return eLength->text();
}

void TfmProps::showStorable(QWidget* field, const QString& problem)
{
    field->setToolTip(problem);
}

void TfmProps::cbFromChange()
{
    const QString from = cbFrom->currentText();
    const QString to = cbTo->currentText();
    const QString length = eLength->text();
    const WorkInputCheck check(from, to, length, m_numbers);
    // Every field that breaks the rule of the work list file's lines says why in its tool tip.
    showStorable(cbFrom, check.fieldProblem(WorkColumn::StartEvent));
    showStorable(cbTo, check.fieldProblem(WorkColumn::EndEvent));
    showStorable(eLength, check.fieldProblem(WorkColumn::Duration));
    sbOk->setEnabled(check.accepted());
}

void TfmProps::sbOkClick()
{
    setTag(1);
    close();
}

void TfmProps::sbCancelClick()
{
    close();
}
