#include "GuideShot.h"

#include "KestrinError.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

GuideShot::GuideShot(QString docsFolder) : m_docs(std::move(docsFolder)) {}

void GuideShot::save(QWidget& window, const QString& name) const
{
    window.show();
    // Two rounds of events: the first lays the window out, the second paints what the layout
    // revealed (tables size their columns after the first show).
    for (int round = 0; round < 2; ++round)
        QApplication::processEvents();
    const QString path = QDir(m_docs).filePath(name + QStringLiteral(".png"));
    if (!window.grab().save(path))
        throw KestrinError(QStringLiteral("Не удалось записать ") + path);
}

QString GuideShot::example(const QString& name) const
{
    return QDir(m_docs).filePath(QStringLiteral("examples/") + name);
}
