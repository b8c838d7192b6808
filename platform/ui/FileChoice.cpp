#include "FileChoice.h"

#include <QFileInfo>

namespace filetypes {

QString allFiles()
{
    return QStringLiteral("Все файлы (*)");
}

FileType csv()
{
    return {QStringLiteral("Файлы CSV (*.csv)"), QStringLiteral("csv")};
}

FileType pdf()
{
    return {QStringLiteral("Документы PDF (*.pdf)"), QStringLiteral("pdf")};
}

FileType svg()
{
    return {QStringLiteral("Рисунки SVG (*.svg)"), QStringLiteral("svg")};
}

FileType png()
{
    return {QStringLiteral("Рисунки PNG (*.png)"), QStringLiteral("png")};
}

} // namespace filetypes

FileChoice::FileChoice(QWidget* home, const Wanted& wanted)
    : QFileDialog(home), m_types(wanted.types)
{
    setObjectName(QLatin1String(wanted.name));
    if (!wanted.title.isEmpty())
        setWindowTitle(wanted.title);
    setOption(QFileDialog::DontUseNativeDialog);
    const bool save = wanted.mode == Mode::Save;
    setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save)
        setOption(QFileDialog::DontConfirmOverwrite);
    setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const ::FileType& type : m_types)
        filters.append(type.filter);
    filters.append(filetypes::allFiles());
    setNameFilters(filters);
    // The entries read "Рисунки SVG" and "Все файлы", without their patterns.
    setOption(QFileDialog::HideNameFilterDetails);
    setDefaultSuffix(m_types.value(0).suffix);
    setModal(true);
}

FileChoice& FileChoice::of(QWidget* window, const Wanted& wanted)
{
    QWidget* home = window;
    while (home->parentWidget())
        home = home->parentWidget();
    auto* choice =
        home->findChild<FileChoice*>(QLatin1String(wanted.name), Qt::FindDirectChildrenOnly);
    if (!choice)
        choice = new FileChoice(home, wanted);
    return *choice;
}

int FileChoice::chosenType() const
{
    // The selected filter may come back with or without its pattern.
    const QString selected = selectedNameFilter();
    for (int type = 0; type < m_types.size(); ++type) {
        const QString& filter = m_types[type].filter;
        if (selected == filter || filter.startsWith(selected + QLatin1String(" (")))
            return type;
    }
    return 0;
}

int FileChoice::typeOfName(const QList<::FileType>& types, const QString& path, int chosen)
{
    const QString suffix = QFileInfo(path).suffix();
    for (int type = 0; type < types.size(); ++type) {
        if (suffix.compare(types[type].suffix, Qt::CaseInsensitive) == 0)
            return type;
    }
    return chosen;
}

void FileChoice::accept()
{
    // The dialog adds the default suffix to a bare name when it is accepted: the chosen type's,
    // however the entry was chosen.
    setDefaultSuffix(m_types.value(chosenType()).suffix);
    QFileDialog::accept();
}

std::optional<FileChoice::Chosen> FileChoice::choose()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    const QString path = selectedFiles().value(0);
    if (path.isEmpty())
        return std::nullopt;
    // Offered again at the next choice.
    selectFile(path);
    return Chosen{path, typeOfName(m_types, path, chosenType())};
}

QString FileChoice::choosePath()
{
    const std::optional<Chosen> chosen = choose();
    return chosen ? chosen->path : QString();
}
