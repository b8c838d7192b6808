#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the next modal window of type T as a user would: once one is shown, `answer` runs with
// it (typing, clicking); the test then checks what the command did after it closed. Other modal
// windows shown meanwhile are left to their own answerers.
// Owns the answerers still waiting; a test's cleanup cancels them, so that one left over (its
// window never came) cannot answer a window of the next test with the state of a finished one.
inline QObject& pendingAnswers()
{
    static QObject* owner = new QObject(qApp);
    return *owner;
}

inline void cancelPendingAnswers()
{
    qDeleteAll(pendingAnswers().children());
}

template <typename T = QWidget> void whenModalShown(const std::function<void(T*)>& answer)
{
    auto* poll = new QTimer(&pendingAnswers());

    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        // The progress window of a long command is nobody's answer.
        if (!modal || !modal->isVisible() || modal->objectName() == QLatin1String("fmProgress"))
            return;
        poll->stop();
        poll->deleteLater();
        answer(modal);
    });
    poll->start();
}

inline void whenModalShown(const std::function<void(QWidget*)>& answer)
{
    whenModalShown<QWidget>(answer);
}

inline void clickChild(QWidget* dialog, const char* name)
{
    auto* button = dialog->findChild<QAbstractButton*>(QLatin1String(name));
    Q_ASSERT(button);
    button->click();
}

// Picks a name in the file dialog that is shown next, or cancels it when path is empty.
inline void answerFileDialog(const QString& path, const char* expectedName)
{
    whenModalShown<QFileDialog>([path, expectedName](QFileDialog* dialog) {
        QCOMPARE(dialog->objectName(), QLatin1String(expectedName));
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typed into the name field, as a user would (selectFile does not reach a focused field).
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(path);
        static_cast<QDialog*>(dialog)->accept(); // the dialog's own accept, through its public base
    });
}

// The text of the error box shown next; it is closed with its OK button.
inline void captureErrorBox(QString& text)
{
    whenModalShown<QMessageBox>([&text](QMessageBox* box) {
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
}
