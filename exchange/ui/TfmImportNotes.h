#pragma once

#include "ClassicDialog.h"

#include <QStringList>

class QListWidget;

// What an import could not carry over (date constraints, progress, elapsed durations, ...), one
// line each, shown after the import so that nothing is dropped unseen. Modal; its one button
// closes it (and sets Tag to 1, as every dialog's accepting button does).
class TfmImportNotes : public ClassicDialog
{
    Q_OBJECT

public:
    TfmImportNotes(const QString& fileName, const QStringList& notes, QWidget* parent);

    const QListWidget& notesList() const { return *lbNotes; }

private:
    QListWidget* lbNotes = nullptr;
};
