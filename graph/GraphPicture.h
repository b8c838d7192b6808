#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QSize>
#include <QString>

// The graph picture: the bitmap the network is drawn into, and the state of its canvas. The canvas
// keeps a black pen, a white solid brush and the window font; only the pen's width and style and
// the font's boldness ever change, and they keep their last setting from one drawing to the next,
// so a clearing after a drawing outlines with whatever pen the drawing left behind.
//
// Coordinates are picture pixels, origin top left, y downwards. Boxes and lines follow the
// conventions of the classic window system canvas the drawing was designed for: a box from
// (x1, y1) to (x2, y2) covers the pixels x1..x2-1 and y1..y2-1, and a line leaves out its last
// pixel. Nothing is antialiased, so the picture holds black and white pixels only.
class GraphPicture
{
public:
    GraphPicture();

    const QImage& image() const { return m_image; }

    // New size in pixels (negative sizes count as 0); the content is undefined until cleared.
    void resize(int width, int height);

    // Draws the rectangle from (0, 0) to corner, white inside, outlined with the current pen and
    // clipped to the picture: with a corner beyond the picture, the picture turns white and the
    // outline shows along its top and left edges only.
    void clear(QPoint corner);

    // Writes the picture as a Windows BMP file, replacing a file of that name, all or nothing
    // (AtomicFile). Raises "Cannot create file <path>: <reason>" when the file cannot be created
    // (a message naming the folder when the folder takes no new file), "Stream write error:
    // <reason> (<path>)" when it cannot be written completely; a file that existed before is then
    // left as it was.
    void saveAsBmp(const QString& path) const;

    int penWidth() const { return m_penWidth; }
    bool bold() const { return m_bold; }

    // One drawing session: a painter held open for many operations (opening one per operation
    // would cost more than the drawing itself). Pen and font changes go to the picture's state.
    class Canvas
    {
    public:
        explicit Canvas(GraphPicture& picture);
        Canvas(const Canvas&) = delete;
        Canvas& operator=(const Canvas&) = delete;

        void setPenWidth(int width);
        void setPenStyle(Qt::PenStyle style);
        void setBold(bool bold);

        // From `from` up to, not including, `to`.
        void line(QPoint from, QPoint to);
        // Inscribed in the box from corner1 to corner2, outlined with the pen, filled white.
        void ellipse(QPoint corner1, QPoint corner2);
        // The rectangle from corner1 to corner2, outlined with the pen, filled white.
        void rectangle(QPoint corner1, QPoint corner2);
        // Top-left corner at topLeft, black on an opaque white cell of the font's full height.
        void text(QPoint topLeft, const QString& text);

    private:
        void applyPen();

        GraphPicture& m_picture;
        QPainter m_painter;
        bool m_active;
    };

private:
    QImage m_image;
    int m_penWidth = 1;
    Qt::PenStyle m_penStyle = Qt::SolidLine;
    bool m_bold = false;
    QFont m_regularFont;
    QFont m_boldFont;
    int m_regularAscent = 0;
    int m_boldAscent = 0;
};
