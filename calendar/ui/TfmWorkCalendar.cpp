#include "TfmWorkCalendar.h"

#include "CalendarDaysFile.h"
#include "FileChoice.h"
#include "GuardedCommand.h"
#include "Pictures.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextCharFormat>
#include <QToolButton>

namespace {

// The file of days off and working days, read and written by one choice each for the run.
FileChoice::Wanted daysFile(const char* name, FileChoice::Mode mode, const QString& title)
{
    return {name,
            mode,
            {{QStringLiteral("Выходные и рабочие дни (*.txt)"), QStringLiteral("txt")}},
            title};
}

FileChoice::Wanted loadedDays()
{
    return daysFile("odDays", FileChoice::Mode::Open,
                    QStringLiteral("Загрузить выходные и рабочие дни"));
}

FileChoice::Wanted savedDays()
{
    return daysFile("sdDays", FileChoice::Mode::Save,
                    QStringLiteral("Сохранить выходные и рабочие дни"));
}

QString exceptionText(QDate date, bool working)
{
    return date.toString(QStringLiteral("dd.MM.yyyy")) +
           (working ? QStringLiteral(" рабочий") : QStringLiteral(" выходной"));
}

} // namespace

TfmWorkCalendar::TfmWorkCalendar(QWidget* parent)
    : ClassicDialog("fmWorkCalendar", QStringLiteral("Рабочий календарь"), QSize(440, 256), parent),
      rbCalendarDays(new QRadioButton(QStringLiteral("Календарные дни"), this)),
      rbWorkingDays(new QRadioButton(QStringLiteral("Рабочие дни"), this)),
      cbWeek(new QComboBox(this)), clDays(new QCalendarWidget(this)),
      lbExceptions(new QListWidget(this))
{
    rbCalendarDays->setObjectName(QStringLiteral("rbCalendarDays"));
    rbCalendarDays->setGeometry(8, 6, 150, 20);
    rbWorkingDays->setObjectName(QStringLiteral("rbWorkingDays"));
    rbWorkingDays->setGeometry(8, 26, 150, 20);

    cbWeek->setObjectName(QStringLiteral("cbWeek"));
    cbWeek->setGeometry(172, 15, 180, 22);
    // In the order of WorkWeek.
    cbWeek->addItems({QStringLiteral("Пятидневная неделя"), QStringLiteral("Шестидневная неделя")});

    clDays->setObjectName(QStringLiteral("clDays"));
    clDays->setGeometry(8, 50, 264, 172);
    clDays->setSelectionMode(QCalendarWidget::SingleSelection);
    clDays->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    clDays->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    clDays->setFirstDayOfWeek(Qt::Monday);
    clDays->setMinimumDate(QDate(1, 1, 1));
    clDays->setMaximumDate(QDate(9999, 12, 31));
    // The week's days off are this calendar's to mark, not the toolkit's red weekend.
    for (Qt::DayOfWeek day : {Qt::Saturday, Qt::Sunday})
        clDays->setWeekdayTextFormat(day, clDays->weekdayTextFormat(Qt::Monday));

    lbExceptions->setObjectName(QStringLiteral("lbExceptions"));
    lbExceptions->setGeometry(280, 50, 152, 172);
    lbExceptions->setToolTip(QStringLiteral("Дни, которые отличаются от недели"));

    sbHolidays = addPictureButton("sbHolidays", Picture::Calendar,
                                  QStringLiteral("Праздники: сделать выходными праздничные дни "
                                                 "показанного года"),
                                  {8, 228});
    sbHolidays->setText(QStringLiteral("Праздники"));
    sbHolidays->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    sbHolidays->setFixedWidth(92);
    sbLoadDays =
        addPictureButton("sbLoadDays", Picture::LoadPages,
                         QStringLiteral("Загрузить выходные и рабочие дни из файла"), {106, 228});
    sbSaveDays =
        addPictureButton("sbSaveDays", Picture::SaveView,
                         QStringLiteral("Сохранить выходные и рабочие дни в файл"), {131, 228});
    sbOk = addPictureButton("sbOk", Picture::Accept, QStringLiteral("Принять рабочий календарь"),
                            {384, 228});
    sbCancel = addPictureButton("sbCancel", Picture::Cancel,
                                QStringLiteral("Не изменять рабочий календарь"), {409, 228});

    // Made now, so that they stand ready (and findable) before the first load or save.
    FileChoice::of(this, loadedDays());
    FileChoice::of(this, savedDays());

    connect(rbWorkingDays, &QRadioButton::toggled, this, [this](bool working) {
        m_edited.setCountsWorkingDays(working);
        showCalendar();
    });
    connect(cbWeek, &QComboBox::activated, this, [this](int index) {
        m_edited.setWeek(static_cast<WorkWeek>(index));
        showCalendar();
    });
    connect(clDays, &QCalendarWidget::clicked, this, &TfmWorkCalendar::dayClicked);
    connect(clDays, &QCalendarWidget::currentPageChanged, this, &TfmWorkCalendar::markMonth);
    connect(lbExceptions, &QListWidget::itemClicked, this, &TfmWorkCalendar::exceptionClicked);
    connect(sbHolidays, &QToolButton::clicked, this,
            guarded(this, &TfmWorkCalendar::sbHolidaysClick));
    connect(sbLoadDays, &QToolButton::clicked, this,
            guarded(this, &TfmWorkCalendar::sbLoadDaysClick));
    connect(sbSaveDays, &QToolButton::clicked, this,
            guarded(this, &TfmWorkCalendar::sbSaveDaysClick));
    connect(sbOk, &QToolButton::clicked, this, guarded(this, &TfmWorkCalendar::sbOkClick));
    connect(sbCancel, &QToolButton::clicked, this, guarded(this, &TfmWorkCalendar::sbCancelClick));
    setTag(0);
    setCalendar(WorkCalendar());
}

void TfmWorkCalendar::setCalendar(const WorkCalendar& calendar, QDate shownDay)
{
    m_accepted = calendar;
    m_edited = calendar;
    if (shownDay.isValid()) {
        clDays->setSelectedDate(shownDay);
        clDays->setCurrentPage(shownDay.year(), shownDay.month());
    }
    showCalendar();
}

void TfmWorkCalendar::showCalendar()
{
    const bool working = m_edited.countsWorkingDays();
    {
        const QSignalBlocker quiet(rbWorkingDays);
        (working ? rbWorkingDays : rbCalendarDays)->setChecked(true);
    }
    cbWeek->setCurrentIndex(static_cast<int>(m_edited.week()));
    // Counting calendar days, the week and the days are kept but mean nothing.
    for (QWidget* control : std::initializer_list<QWidget*>{cbWeek, clDays, lbExceptions,
                                                            sbHolidays, sbLoadDays, sbSaveDays})
        control->setEnabled(working);

    lbExceptions->clear();
    for (const auto& [date, isWorking] : m_edited.exceptions()) {
        auto* item = new QListWidgetItem(exceptionText(date, isWorking), lbExceptions);
        item->setData(Qt::UserRole, date);
    }
    markMonth();
}

void TfmWorkCalendar::markMonth()
{
    clDays->setDateTextFormat(QDate(), QTextCharFormat());
    if (!m_edited.countsWorkingDays())
        return;
    QTextCharFormat dayOff;
    dayOff.setForeground(QColor(0xC0, 0x00, 0x00));
    dayOff.setBackground(QColor(0xFF, 0xE4, 0xE1));
    // The grid shows up to six weeks around the month.
    const QDate first = QDate(clDays->yearShown(), clDays->monthShown(), 1).addDays(-7);
    const QDate last = first.addDays(7 + 31 + 14);
    const CalendarExceptions& exceptions = m_edited.exceptions();
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        const bool exception = exceptions.count(day) != 0;
        if (m_edited.isWorkingDay(day) && !exception)
            continue;
        QTextCharFormat format = m_edited.isWorkingDay(day) ? QTextCharFormat() : dayOff;
        // A day that differs from the week is in bold, as in the list beside.
        if (exception)
            format.setFontWeight(QFont::Bold);
        clDays->setDateTextFormat(day, format);
    }
}

void TfmWorkCalendar::dayClicked(QDate date)
{
    m_edited.toggle(date);
    showCalendar();
}

void TfmWorkCalendar::exceptionClicked(QListWidgetItem* item)
{
    const QDate date = item->data(Qt::UserRole).toDate();
    clDays->setSelectedDate(date);
    clDays->setCurrentPage(date.year(), date.month());
}

void TfmWorkCalendar::sbHolidaysClick()
{
    m_edited.addPublicHolidays(clDays->yearShown());
    showCalendar();
}

void TfmWorkCalendar::sbLoadDaysClick()
{
    const QString path = FileChoice::of(this, loadedDays()).choosePath();
    if (path.isEmpty())
        return;
    // The file's days take the place of the same days here; the others stay, so that the
    // production calendars of several years can be loaded one after another.
    WorkCalendar loaded = m_edited;
    loaded.addExceptions(calendardays::read(path));
    loaded.check();
    m_edited = loaded;
    showCalendar();
}

void TfmWorkCalendar::sbSaveDaysClick()
{
    const QString path = FileChoice::of(this, savedDays()).choosePath();
    if (path.isEmpty())
        return;
    calendardays::write(path, m_edited.exceptions());
}

void TfmWorkCalendar::sbOkClick()
{
    m_edited.check();
    m_accepted = m_edited;
    setTag(1);
    close();
}

void TfmWorkCalendar::sbCancelClick()
{
    close();
}
