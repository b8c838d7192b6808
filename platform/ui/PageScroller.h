#pragma once

#include <QWidget>

class LongLineLabel;
class QToolButton;

// A horizontal page scroller: a fixed-size window onto a wider one-line label. When the label's
// text is wider than the scroller, arrow buttons at the ends move it sideways; they hide when there
// is nothing more to see in their direction. A text wider than the label widens the label, so a
// long line is never cut off.
class PageScroller : public QWidget
{
    Q_OBJECT

public:
    explicit PageScroller(QWidget* parent = nullptr);

    // Takes ownership of the label and places it at position 0.
    void setContent(LongLineLabel* content);
    LongLineLabel* content() const { return m_content; }

    int position() const { return m_position; }
    int maximumPosition() const;
    void setPosition(int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateLayout();
    int textWidth() const;

    QWidget* m_viewport;
    LongLineLabel* m_content = nullptr;
    QToolButton* m_back;
    QToolButton* m_forward;
    int m_position = 0;
};
