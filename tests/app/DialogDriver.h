#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the next modal dialog as a user would: once it is shown, `answer` runs with it (typing,
// clicking); the test then checks what the command did after the dialog closed.
inline void whenModalShown(const std::function<void(QWidget*)>& answer)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [answer, poll] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            answer(modal);
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(5, *poll);
    };
    QTimer::singleShot(0, *poll);
}

inline void clickChild(QWidget* dialog, const char* name)
{
    auto* button = dialog->findChild<QAbstractButton*>(QLatin1String(name));
    Q_ASSERT(button);
    button->click();
}
