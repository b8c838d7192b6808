#pragma once

#include "ClassicDialog.h"

#include <QDate>

class QCalendarWidget;

// The start-date dialog: a month calendar and the OK and cancel buttons.
class TfmCalendar : public ClassicDialog
{
    Q_OBJECT

public:
    explicit TfmCalendar(QWidget* parent = nullptr);

    // Shows the month of the day and selects it.
    void setDate(QDate date);
    QDate date() const;

    void sbOkClick();
    void sbCancelClick();

private:
    QCalendarWidget* mcMain;
    QToolButton* sbOk;
    QToolButton* sbCancel;
};
