#pragma once

#include "ClassicDialog.h"
#include "WorkCalendar.h"

class QCalendarWidget;
class QComboBox;
class QListWidget;
class QListWidgetItem;
class QRadioButton;

// The working calendar dialog: calendar days or working days, the week, and the days that
// differ from it, marked on a month calendar where a click turns a day into a day off or back,
// and listed beside it. The public holidays of the year shown are added with one button; the
// days are loaded from and saved to a text file (calendardays). OK keeps the edited calendar
// (Tag 1), cancel and the close box keep the one the dialog was given.
class TfmWorkCalendar : public ClassicDialog
{
    Q_OBJECT

public:
    explicit TfmWorkCalendar(QWidget* parent = nullptr);

    // Shows the calendar for editing and the month of the day (the plan's start date, say).
    void setCalendar(const WorkCalendar& calendar, QDate shownDay = QDate::currentDate());
    // The calendar as accepted: the edited one once OK was pressed, else the one given.
    const WorkCalendar& calendar() const { return m_accepted; }

    void sbHolidaysClick();
    void sbLoadDaysClick();
    void sbSaveDaysClick();
    void sbOkClick();
    void sbCancelClick();

private:
    void dayClicked(QDate date);
    void exceptionClicked(QListWidgetItem* item);
    // Brings the controls, the marks on the month shown and the list in line with m_edited.
    void showCalendar();
    void markMonth();

    WorkCalendar m_accepted;
    WorkCalendar m_edited;

    QRadioButton* rbCalendarDays;
    QRadioButton* rbWorkingDays;
    QComboBox* cbWeek;
    QCalendarWidget* clDays;
    QListWidget* lbExceptions;
    QToolButton* sbHolidays;
    QToolButton* sbLoadDays;
    QToolButton* sbSaveDays;
    QToolButton* sbOk;
    QToolButton* sbCancel;
};
