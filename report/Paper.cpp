#include "Paper.h"

#include <QComboBox>

namespace report {

QSizeF paperSize(Paper paper)
{
    switch (paper) {
    case Paper::A4Portrait:
        return {210, 297};
    case Paper::A4Landscape:
        return {297, 210};
    case Paper::A3Portrait:
        return {297, 420};
    case Paper::A3Landscape:
        return {420, 297};
    }
    return {210, 297};
}

QString paperName(Paper paper)
{
    switch (paper) {
    case Paper::A4Portrait:
        return QStringLiteral("A4, книжная");
    case Paper::A4Landscape:
        return QStringLiteral("A4, альбомная");
    case Paper::A3Portrait:
        return QStringLiteral("A3, книжная");
    case Paper::A3Landscape:
        return QStringLiteral("A3, альбомная");
    }
    return {};
}

QComboBox* makePaperChoice(QWidget* parent, const char* objectName, Paper initial)
{
    auto* choice = new QComboBox(parent);
    choice->setObjectName(QLatin1String(objectName));
    choice->setEditable(false);
    for (const Paper paper : kPapers)
        choice->addItem(paperName(paper), int(paper));
    choice->setCurrentIndex(choice->findData(int(initial)));
    return choice;
}

Paper chosenPaper(const QComboBox* choice)
{
    return Paper(choice->currentData().toInt());
}

} // namespace report
