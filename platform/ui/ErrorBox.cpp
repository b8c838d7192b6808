#include "ErrorBox.h"

#include <QMessageBox>

QString applicationTitle()
{
    return QStringLiteral("Расчёт сетевых графиков");
}

QString errorBoxText(const QString& message)
{
    if (message.size() > kLongestErrorBoxText) {
        qsizetype cut = kLongestErrorBoxText;
        if (message.at(cut - 1).isHighSurrogate())
            --cut;
        return message.left(cut) + QChar(0x2026);
    }
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void showErrorBox(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(), errorBoxText(message),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.exec();
}

void showNoticeBox(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Information, applicationTitle(), message, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("NoticeBox"));
    box.exec();
}
