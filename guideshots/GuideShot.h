#pragma once

#include <QString>

class QWidget;

// Where the pictures go and how one is taken: a shot function builds its window over an example,
// shows it off screen and hands it to save().
class GuideShot
{
public:
    explicit GuideShot(QString docsFolder);

    // Lets the window lay itself out and paint, then writes docs/<name>.png; raises on failure.
    void save(QWidget& window, const QString& name) const;
    const QString& docsFolder() const { return m_docs; }
    // The path of an example file of the guide (docs/examples/<name>).
    QString example(const QString& name) const;

private:
    QString m_docs;
};

// One function a window of the guide; each lives in its own file beside this one and is a row
// of the table in main.cpp.
void shotRisk(const GuideShot& shot);
void shotImportNotes(const GuideShot& shot);
void shotCost(const GuideShot& shot);
void shotWorkCalendar(const GuideShot& shot);
void shotWorkingDaysGantt(const GuideShot& shot);
void shotDetails(const GuideShot& shot);
void shotResources(const GuideShot& shot);
