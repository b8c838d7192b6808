#pragma once

#include <QDialog>

enum class Picture;
class QToolButton;

// A small fixed-size modal dialog laid out in pixels. It reports acceptance through its result flag
// Tag (0 while shown, 1 once OK was pressed; cancel and the close box leave it), and neither Enter
// nor Escape closes it: only its own buttons and the close box end it.
class ClassicDialog : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(int Tag READ tag WRITE setTag)

public:
    ClassicDialog(const char* objectName, const QString& title, QSize clientSize, QWidget* parent);

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

protected:
    // A flat 23 x 22 picture button, reached by Tab and pressed by Space; greyed when disabled.
    QToolButton* addPictureButton(const char* name, Picture picture, const QString& hint,
                                  QPoint position);

    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    int m_tag = 0;
};
