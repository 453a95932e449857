#include "page/selectionbar.h"

#include "tabs/stripgeometry.h"

#include <QLabel>
#include <QMouseEvent>

namespace {

int px(int twips) { return StripGeometry::toPixels(twips); }

QLabel *button(const QString &text, int leftTwips, QWidget *bar)
{
    auto *label = new QLabel(text, bar);
    label->setObjectName(QStringLiteral("LabCopy"));
    label->setGeometry(px(leftTwips), px(80), px(735), px(255));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(bar);
    return label;
}

} // namespace

SelectionBar::SelectionBar(QWidget *page)
    : QWidget(page)
{
    setObjectName(QStringLiteral("PictMouse"));
    resize(px(1500), px(350));
    // A plain widget draws its style sheet's background only when asked to.
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#PictMouse { background: #fffbe6; border: 1px solid #a0a0a0; }"));
    m_search = button(QStringLiteral("搜索  |"), 120, this);
    m_search->setProperty("index", 0);
    m_copy = button(QStringLiteral("复制"), 960, this);
    m_copy->setProperty("index", 1);
    park();
}

void SelectionBar::showFor(const QString &text, const QPoint &at)
{
    m_text = text;
    const QWidget *page = parentWidget();
    move(qBound(0, at.x(), qMax(0, page->width() - width())), qBound(0, at.y(), qMax(0, page->height() - height())));
    raise();
    show();
}

void SelectionBar::park()
{
    move(px(-5000), y());
}

bool SelectionBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
        && (watched == m_search || watched == m_copy)) {
        // Hidden first: what the button starts may take the window's attention.
        park();
        if (watched == m_search)
            emit searchChosen(m_text);
        else
            emit copyChosen(m_text);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
