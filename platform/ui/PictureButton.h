#pragma once

#include <QSize>

enum class Picture;
class QAction;
class QString;
class QToolBar;
class QToolButton;
class QWidget;

// The size of the picture buttons on the tool bars and in the small dialogs, in pixels.
inline constexpr QSize kToolButtonSize(23, 22);

// A flat picture button as every window of the program has them: the picture, the hint as tool
// tip and as the name screen readers announce. Tab gives it the keyboard focus and Space then
// presses it; a click does not take the focus.
QToolButton* makePictureButton(QWidget* parent, const char* name, Picture picture,
                               const QString& hint, QSize iconSize = QSize(16, 16));
// The same button showing a command (QToolButton::setDefaultAction): the command's objectName,
// picture, hint and enabled and checked states, and a click runs it.
QToolButton* makeCommandButton(QWidget* parent, QAction* command, QSize iconSize = QSize(16, 16));

// A flat tool bar of picture buttons that stays where it is put.
QToolBar* makeFlatToolBar(QWidget* parent, const char* name);
