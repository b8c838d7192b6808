#pragma once

#include <QLabel>

// An event marker on the drawing area: a 100 x 24 raised panel in the button-face colour with the
// event name centred. It reports a click (press and release on the marker, left button) and keeps
// pointer movement to itself, so that moving over a marker never moves anything on the area.
class EventMarker : public QLabel
{
    Q_OBJECT

public:
    static constexpr int kWidth = 100;
    static constexpr int kHeight = 24;

    EventMarker(const QString& caption, QWidget* drawingArea);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
