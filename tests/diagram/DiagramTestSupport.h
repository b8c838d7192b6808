#pragma once

#include "DiagramModel.h"
#include "EventIndex.h"
#include "GeneratedNetwork.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QString>

#include <memory>

// Shared by the diagram tests: the user guide's example and generated networks (decimal comma,
// whatever the locale of the run), read into a table with its event index.
namespace diagramtest {

inline const NumberFormat& numbers()
{
    static const NumberFormat format(QStringLiteral(","));
    return format;
}

inline const NameCollation& names()
{
    static const NameCollation collation(QLocale(QLocale::Russian, QLocale::Russia));
    return collation;
}

struct Network
{
    WorkTable table;
    std::unique_ptr<EventIndex> index;
    QString start;
    QString end;

    DiagramModel model() const { return DiagramModel(table, *index, start, end, numbers()); }
};

// The guide's example (events 1 to 10), or a generated network of `events` events and about
// 2.5 works per event; 0 events asks for the example.
inline std::unique_ptr<Network> network(int events)
{
    auto made = std::make_unique<Network>();
    if (events == 0) {
        worklistfile::read(QStringLiteral(KESTRIN_EXAMPLES_DIR "/house.kdf"), made->table);
        made->end = QStringLiteral("10");
    } else {
        testsupport::fillGeneratedNetwork(made->table, events, events * 5 / 2);
        made->end = QString::number(events);
    }
    made->start = QStringLiteral("1");
    made->index = std::make_unique<EventIndex>(made->table, names());
    return made;
}

} // namespace diagramtest
