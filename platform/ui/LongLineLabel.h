#pragma once

#include <QLabel>

#include <vector>

// A one-line label for texts far wider than any screen, such as the critical path line of a
// network of a million events. Its text width is measured once per text, from the advances of its
// characters (kerning off, so that the sum is exact), and a paint draws only the pieces of the
// text in view. Texts with characters whose shape depends on their neighbours (combining marks,
// right-to-left scripts, characters beyond the basic plane) are measured and painted whole.
class LongLineLabel : public QLabel
{
    Q_OBJECT

public:
    explicit LongLineLabel(QWidget* parent = nullptr);

    // The width the whole text needs, frame and margins included, in pixels.
    int textWidth() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Layout
    {
        QString text;
        QFont font;
        bool simple = true;
        std::vector<int> pieceStart; // character index of each piece, then the text's length
        std::vector<qreal> pieceX;   // left edge of each piece from the text's start
        qreal width = 0;
    };
    const Layout& layout() const;
    QFont textFont() const;
    int frameExtent() const;

    mutable Layout m_layout;
};
