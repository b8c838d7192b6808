#include "LongLineLabel.h"

#include "Progress.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace {

// A piece ends at the first blank after this many characters: small enough that a paint shapes
// little more than what shows, large enough that the pieces of a long line stay few.
constexpr int kPieceLength = 64;

// Characters measured one by one give the width of the text they make up.
bool isSimple(QChar c)
{
    if (c.isSurrogate())
        return false;
    if (c.unicode() < 0x300)
        return true;
    switch (c.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
        return false;
    default:
        return c.direction() == QChar::DirL || c.direction() == QChar::DirEN ||
               c.direction() == QChar::DirWS || c.direction() == QChar::DirON ||
               c.direction() == QChar::DirES || c.direction() == QChar::DirET ||
               c.direction() == QChar::DirCS;
    }
}

} // namespace

LongLineLabel::LongLineLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

QFont LongLineLabel::textFont() const
{
    QFont textFont = font();
    textFont.setKerning(false);
    return textFont;
}

int LongLineLabel::frameExtent() const
{
    return 2 * (margin() + frameWidth()) + std::max(0, indent());
}

const LongLineLabel::Layout& LongLineLabel::layout() const
{
    const QString current = text();
    const QFont currentFont = textFont();
    if (m_layout.text.isSharedWith(current) && m_layout.font == currentFont)
        return m_layout;
    Layout fresh;
    fresh.text = current;
    fresh.font = currentFont;
    const QFontMetricsF metrics(currentFont);
    fresh.simple = std::all_of(current.cbegin(), current.cend(), isSimple);
    if (!fresh.simple) {
        fresh.width = metrics.horizontalAdvance(current);
        fresh.pieceStart = {0, int(current.size())};
        fresh.pieceX = {0};
        m_layout = std::move(fresh);
        return m_layout;
    }
    // Advances of the characters met, by code unit.
    auto advances = std::make_unique<std::array<qreal, 0x10000>>();
    advances->fill(-1);
    qreal x = 0;
    int sinceStart = 0;
    fresh.pieceStart.push_back(0);
    fresh.pieceX.push_back(0);
    for (int i = 0; i < int(current.size()); ++i) {
        progress::step(u"Построение строки критического пути", i, current.size());
        const QChar c = current[i];
        qreal& advance = (*advances)[c.unicode()];
        if (advance < 0)
            advance = metrics.horizontalAdvance(c);
        x += advance;
        if (++sinceStart >= kPieceLength && c == QLatin1Char(' ') && i + 1 < int(current.size())) {
            fresh.pieceStart.push_back(i + 1);
            fresh.pieceX.push_back(x);
            sinceStart = 0;
        }
    }
    fresh.pieceStart.push_back(int(current.size()));
    fresh.width = x;
    m_layout = std::move(fresh);
    return m_layout;
}

int LongLineLabel::textWidth() const
{
    if (text().isEmpty())
        return 0;
    const qreal width = std::ceil(layout().width) + frameExtent();
    return int(std::min<qreal>(width, QWIDGETSIZE_MAX));
}

QSize LongLineLabel::sizeHint() const
{
    return {textWidth(), QFontMetrics(textFont()).height() + 2 * (margin() + frameWidth())};
}

QSize LongLineLabel::minimumSizeHint() const
{
    return sizeHint();
}

void LongLineLabel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    drawFrame(&painter);
    const Layout& line = layout();
    if (line.text.isEmpty())
        return;
    const QRect contents =
        contentsRect().adjusted(margin() + std::max(0, indent()), margin(), -margin(), -margin());
    painter.setFont(line.font);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    const QFontMetricsF metrics(line.font);
    const qreal baseline =
        contents.top() + (contents.height() - metrics.height()) / 2 + metrics.ascent();
    const qreal left = contents.left();
    const QRect dirty = event->rect();
    const std::size_t pieces = line.pieceX.size();
    for (std::size_t piece = 0; piece < pieces; ++piece) {
        const qreal from = left + line.pieceX[piece];
        const qreal to = piece + 1 < pieces ? left + line.pieceX[piece + 1] : left + line.width;
        if (from > dirty.right() + 1)
            break;
        if (to < dirty.left())
            continue;
        const int start = line.pieceStart[piece];
        const int end = line.pieceStart[piece + 1];
        painter.drawText(QPointF(from, baseline), line.text.mid(start, end - start));
    }
}
