#pragma once
#include <QObject>
#include <functional>

class PageControl;
class QWidget;

// The reader's scrolling outside the engine's view: the page's focus holder takes the
// arrow, page, space, Home and End keys, and a wheel turn over the page window's own
// parts (its status bar, its edges) scrolls the current page. Over the view the engine
// scrolls by itself. Each turn or key counts as work in the page (it stays awake).
class ScrollKeys : public QObject
{
    Q_OBJECT
public:
    // What it needs of its page window.
    struct Page {
        QWidget *window;      // wheel turns over its own parts
        QWidget *focusHolder; // takes the keys
        // Whether a widget lies within one of the page's views (the engine scrolls there).
        std::function<bool(const QWidget *)> withinView;
        std::function<void()> hideSelectionBar;
        // Keyboard and wheel act on this page now.
        std::function<bool()> isCurrent;
        // Where the page keys and wheel act on scrolls (null: none).
        std::function<PageControl *()> currentScrollTarget;
        // A turn or a key: work in the page.
        std::function<void()> worked;
    };
    explicit ScrollKeys(Page page);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool wheel(QEvent *event);
    bool key(QEvent *event);

    Page m_page;
};
