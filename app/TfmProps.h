#pragma once

#include "ClassicDialog.h"

class EventIndex;
class NameCollation;
class NumberFormat;
class QComboBox;
class QLabel;
class QLineEdit;
class WorkCells;

// The element dialog: start event, end event and duration of one work. OK is enabled only while
// the fields pass WorkInputCheck: both events are named, the duration reads as a number of at
// least 0, and every field can be written to the work list file. The texts are returned exactly
// as typed. Tab moves through the three fields and the two buttons; Space presses the focused
// button, while Enter and Escape close nothing.
class TfmProps : public ClassicDialog
{
    Q_OBJECT

public:
    // Fills the event list of both combo boxes from the table as it is now (FormCreate).
    TfmProps(const WorkCells& table, const NameCollation& names, const NumberFormat& numbers,
             QWidget* parent = nullptr);
    // The same from the table's events, already indexed.
    TfmProps(const EventIndex& events, const NumberFormat& numbers, QWidget* parent = nullptr);

    // Preloads the fields from a work; each counts as a change and runs the validation.
    void setWork(const QString& startEvent, const QString& endEvent, const QString& duration);

    QString startEvent() const;
    QString endEvent() const;
    QString durationText() const;

    void cbFromChange();
    void sbOkClick();
    void sbCancelClick();

private:
    // Marks the field with the reason its text cannot be stored, or clears the mark.
    static void showStorable(QWidget* field, const QString& problem);

    const NumberFormat& m_numbers;
    QLabel* Label1;
    QComboBox* cbFrom;
    QLabel* Label2;
    QComboBox* cbTo;
    QLabel* Label3;
    QLineEdit* eLength;
    QToolButton* sbOk;
    QToolButton* sbCancel;
};
