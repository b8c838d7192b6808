#include "ClassicDialog.h"

#include "ClassicFonts.h"
#include "PictureButton.h"
#include "WindowPlacement.h"

#include <QKeyEvent>
#include <QScreen>
#include <QToolButton>

ClassicDialog::ClassicDialog(const char* objectName, const QString& title, QSize clientSize,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QLatin1String(objectName));
    setWindowTitle(title);
    setFont(classicWindowFont());
    setFixedSize(clientSize);
    setModal(true);
}

QToolButton* ClassicDialog::addPictureButton(const char* name, Picture picture, const QString& hint,
                                             QPoint position)
{
    QToolButton* button = makePictureButton(this, name, picture, hint);
    button->setGeometry(QRect(position, kToolButtonSize));
    return button;
}

void ClassicDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void ClassicDialog::showEvent(QShowEvent* event)
{
    centreOnScreen(this);
    QDialog::showEvent(event);
}
