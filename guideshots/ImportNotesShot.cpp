#include "GuideShot.h"

#include "MspdiReader.h"
#include "TfmImportNotes.h"

// The window that lists what an import left out, over a small project that holds one of each:
// a date constraint, manual scheduling, progress, a deadline and an elapsed duration.
void shotImportNotes(const GuideShot& shot)
{
    const QByteArray project =
        "<Project xmlns=\"http://schemas.microsoft.com/project\"><StartDate>2027-02-01T08:00:00"
        "</StartDate><MinutesPerDay>480</MinutesPerDay><Tasks><Task><UID>1</UID>"
        "<Name>Фундамент</Name><Duration>PT40H0M0S</Duration><ConstraintType>4</ConstraintType>"
        "<Manual>1</Manual><PercentComplete>30</PercentComplete>"
        "<Deadline>2027-03-01T17:00:00</Deadline></Task><Task><UID>2</UID><Name>Сушка</Name>"
        "<Duration>PT72H0M0S</Duration><DurationFormat>8</DurationFormat><PredecessorLink>"
        "<PredecessorUID>1</PredecessorUID><Type>1</Type></PredecessorLink></Task></Tasks>"
        "</Project>";
    const ImportedPlan imported = mspdi::decode(project, QStringLiteral("подрядчик.xml"));
    TfmImportNotes window(QStringLiteral("подрядчик.xml"), imported.notes, nullptr);
    shot.save(window, QStringLiteral("guide-import-notes"));
}
