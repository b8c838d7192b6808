#include "TfmCalendar.h"

#include "ErrorBox.h"
#include "GuardedCommand.h"
#include "Pictures.h"

#include <QCalendarWidget>
#include <QLocale>
#include <QTextCharFormat>
#include <QToolButton>

TfmCalendar::TfmCalendar(QWidget* parent)
    : ClassicDialog("fmCalendar", QStringLiteral("Начало работ"), QSize(190, 190), parent),
      mcMain(new QCalendarWidget(this))
{
    mcMain->setObjectName(QStringLiteral("mcMain"));
    mcMain->setGeometry(4, 3, 162, 153);
    mcMain->setSelectionMode(QCalendarWidget::SingleSelection);
    mcMain->setNavigationBarVisible(true);
    mcMain->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    mcMain->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    mcMain->setGridVisible(false);
    mcMain->setFirstDayOfWeek(QLocale::system().firstDayOfWeek());
    mcMain->setMinimumDate(QDate(1, 1, 1));
    mcMain->setMaximumDate(QDate(9999, 12, 31));
    QTextCharFormat today;
    today.setFontWeight(QFont::Bold);
    today.setForeground(QColor(0xC0, 0x00, 0x00));
    mcMain->setDateTextFormat(QDate::currentDate(), today);

    sbOk = addPictureButton("sbOk", Picture::Accept,
                            QStringLiteral("Принять новую дату начала работ"), {118, 160});
    sbCancel = addPictureButton("sbCancel", Picture::Cancel,
                                QStringLiteral("Не изменять дату начала работ"), {143, 160});
    // Tab reaches the calendar's own month and year buttons too, so that a day in another year
    // can be chosen without the mouse; then the two buttons.
    for (const char* name : {"qt_calendar_prevmonth", "qt_calendar_nextmonth",
                             "qt_calendar_monthbutton", "qt_calendar_yearbutton"}) {
        if (auto* button = mcMain->findChild<QToolButton*>(QLatin1String(name)))
            button->setFocusPolicy(Qt::TabFocus);
    }
    setTabOrder(mcMain, sbOk);
    setTabOrder(sbOk, sbCancel);
    connect(sbOk, &QToolButton::clicked, this, guarded(this, &TfmCalendar::sbOkClick));
    connect(sbCancel, &QToolButton::clicked, this, guarded(this, &TfmCalendar::sbCancelClick));
    setTag(0);
}

void TfmCalendar::setDate(QDate date)
{
    mcMain->setSelectedDate(date);
    mcMain->setCurrentPage(date.year(), date.month());
}

QDate TfmCalendar::date() const
{
    return mcMain->selectedDate();
}

void TfmCalendar::sbOkClick()
{
    setTag(1);
    close();
}

void TfmCalendar::sbCancelClick()
{
    close();
}
