#include "EventMarker.h"

#include <QMouseEvent>

EventMarker::EventMarker(const QString& caption, QWidget* drawingArea) : QLabel(drawingArea)
{
    setObjectName(QStringLiteral("EventMarker"));
    // Event names are shown as typed, never read as markup.
    setTextFormat(Qt::PlainText);
    setText(caption);
    setAlignment(Qt::AlignCenter);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    setForegroundRole(QPalette::ButtonText);
    setAttribute(Qt::WA_NoMousePropagation);
    resize(kWidth, kHeight);
}

void EventMarker::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void EventMarker::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}
