#pragma once

#include <QFileDialog>
#include <QList>
#include <QString>

#include <optional>

// One type of file a choice offers: the filter as the dialog lists it and the suffix a name typed
// without one takes.
struct FileType
{
    QString filter; // "Рисунки SVG (*.svg)"
    QString suffix; // "svg"
};

namespace filetypes {
// The filter of any file, offered last by every choice.
QString allFiles();
FileType csv();
FileType pdf();
FileType svg();
FileType png();
} // namespace filetypes

// The one way every window asks the user for a file name: Qt's own widget dialog (never the
// desktop's), modal, listing the window's types and then any file, with the types' patterns
// hidden. An open dialog takes any name (reading the file reports one that does not exist); a save
// dialog does not ask before replacing (every file is written all or nothing). The program takes
// the chosen name once the dialog has closed.
//
// A name typed without a suffix takes the suffix of the type chosen in the list, and a caller
// that writes several types learns which type the name stands for (`Chosen::type`), so the file
// holds what its name says.
//
// A choice is made once for the run and kept: it remembers the folder, the name and the type last
// chosen, also for a window made anew for each opening. It lives with the outermost window of the
// window that asks for it (the main window of the run), found there by its objectName; the window
// that asks owns only its description.
class FileChoice : public QFileDialog
{
    Q_OBJECT

public:
    enum class Mode { Open, Save };

    struct Wanted
    {
        const char* name; // the dialog's objectName
        Mode mode;
        QList<::FileType> types;
        QString title = {};
    };

    struct Chosen
    {
        QString path;
        int type = 0; // index in Wanted::types: that of the name's suffix, else the chosen entry's
    };

    // The run's choice of that name, made from the description the first time it is asked for.
    static FileChoice& of(QWidget* window, const Wanted& wanted);

    // Shows the dialog; none when cancelled.
    std::optional<Chosen> choose();
    // The chosen name alone; empty when cancelled.
    QString choosePath();

    // The type a name stands for: the one of its suffix (letter case ignored), else `chosen`.
    static int typeOfName(const QList<::FileType>& types, const QString& path, int chosen);

    void accept() override;

private:
    FileChoice(QWidget* home, const Wanted& wanted);
    // The index of the entry chosen in the list; the first type for "any file".
    int chosenType() const;

    QList<::FileType> m_types;
};
