#pragma once

#include <QString>

namespace report {

// The records a report runs over, as the report engine sees them: a table of display texts.
//
// Threading: while a preview is open, the engine reads the data set only from its worker thread,
// one call at a time; the owner must not touch it (nor the file behind it) until the preview has
// closed. Before the worker starts, `isOpen` and `fieldIndex` are called once on the caller's
// thread to bind the layout's data fields. A failure while reading is raised as `KestrinError`;
// the engine stops making pages and shows the message.
class DataSet
{
public:
    virtual ~DataSet() = default;

    // A closed data set holds no records; the report then takes its "no data" road.
    virtual bool isOpen() const = 0;
    virtual int recordCount() const = 0;
    // The column holding `field`, compared without regard to letter case (layouts may name fields
    // in upper case, as dBASE stores them); -1 when there is none.
    virtual int fieldIndex(const QString& field) const = 0;
    // The text a data field prints for the field in the record, both counted from 0.
    virtual QString displayText(int record, int field) const = 0;
};

} // namespace report
