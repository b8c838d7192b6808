#include "PageScroller.h"

#include "LongLineLabel.h"

#include <QEvent>
#include <QResizeEvent>
#include <QToolButton>

#include <algorithm>

namespace {
constexpr int kButtonWidth = 12;
constexpr int kStep = 24; // pixels per click, as the scroll buttons of tool bars move
} // namespace

PageScroller::PageScroller(QWidget* parent)
    : QWidget(parent), m_viewport(new QWidget(this)), m_back(new QToolButton(this)),
      m_forward(new QToolButton(this))
{
    for (QToolButton* button : {m_back, m_forward}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setFixedWidth(kButtonWidth);
        button->hide();
    }
    m_back->setArrowType(Qt::LeftArrow);
    m_forward->setArrowType(Qt::RightArrow);
    m_back->setObjectName(QStringLiteral("psMainBack"));
    m_forward->setObjectName(QStringLiteral("psMainForward"));
    connect(m_back, &QToolButton::clicked, this, [this] { setPosition(m_position - kStep); });
    connect(m_forward, &QToolButton::clicked, this, [this] { setPosition(m_position + kStep); });
    m_viewport->installEventFilter(this);
}

void PageScroller::setContent(LongLineLabel* content)
{
    m_content = content;
    content->setParent(m_viewport);
    content->installEventFilter(this);
    content->show();
    m_position = 0;
    updateLayout();
}

int PageScroller::maximumPosition() const
{
    return std::max(0, textWidth() - width());
}

int PageScroller::textWidth() const
{
    return m_content ? m_content->textWidth() : 0;
}

void PageScroller::setPosition(int position)
{
    m_position = std::clamp(position, 0, maximumPosition());
    updateLayout();
}

bool PageScroller::eventFilter(QObject* watched, QEvent* event)
{
    // A label announces a new text through a layout request to its parent (the viewport).
    if ((watched == m_viewport && event->type() == QEvent::LayoutRequest) ||
        (watched == m_content && event->type() == QEvent::Resize)) {
        m_position = std::clamp(m_position, 0, maximumPosition());
        updateLayout();
    }
    return QWidget::eventFilter(watched, event);
}

void PageScroller::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateLayout();
}

void PageScroller::updateLayout()
{
    m_viewport->setGeometry(rect());
    if (m_content) {
        const int needed = std::max(textWidth(), m_content->minimumWidth());
        if (needed != m_content->width())
            m_content->resize(needed, height());
        m_content->move(-m_position, 0);
    }
    const int maximum = maximumPosition();
    m_back->setGeometry(0, 0, kButtonWidth, height());
    m_forward->setGeometry(width() - kButtonWidth, 0, kButtonWidth, height());
    m_back->setVisible(m_position > 0);
    m_forward->setVisible(m_position < maximum);
    m_back->raise();
    m_forward->raise();
}
