// The floor under the browser's memory with many tabs: the smallest tabbed browser on the
// same engine, drawn and split into processes the way the browser is (the same start-up
// settings), with nothing else. A page's window.open becomes a tab of its own, brought to
// the front, as in the browser; the window's title is the front tab's. What a load freed
// goes back to the system 1.5 s after the last load, as in the browser.
// Measured from outside, as the browser is:
//   bash ~/.cache/peerbench/measure.sh -p open -t 10 -- "$PWD/build/bench/floor_tabs"
#include "engine/enginerendering.h"

#include <QApplication>
#include <QTimer>
#include <QTabWidget>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <malloc.h>

namespace {

QTimer *trimTimer()
{
    static QTimer *timer = [] {
        auto *t = new QTimer(qApp);
        t->setSingleShot(true);
        t->setInterval(1500);
        QObject::connect(t, &QTimer::timeout, [] { malloc_trim(0); });
        return t;
    }();
    return timer;
}

// Kept on disk as the browser's is: the engine's default profile would hold every
// response in memory.
QWebEngineProfile *profile()
{
    static QWebEngineProfile *stored = new QWebEngineProfile(QStringLiteral("floor-tabs"), qApp);
    return stored;
}

// The window's title is its front tab's.
void titleFromFront(QTabWidget *tabs)
{
    if (auto *view = qobject_cast<QWebEngineView *>(tabs->currentWidget()))
        tabs->setWindowTitle(view->title());
}

class TabView : public QWebEngineView
{
public:
    explicit TabView(QTabWidget *tabs)
        : m_tabs(tabs)
    {
        setPage(new QWebEnginePage(profile(), this));
        connect(this, &QWebEngineView::loadFinished, this, [] { trimTimer()->start(); });
        connect(this, &QWebEngineView::titleChanged, this, [this](const QString &title) {
            m_tabs->setTabText(m_tabs->indexOf(this), title.left(20));
            titleFromFront(m_tabs);
        });
    }

protected:
    QWebEngineView *createWindow(QWebEnginePage::WebWindowType) override
    {
        auto *view = new TabView(m_tabs);
        m_tabs->setCurrentIndex(m_tabs->addTab(view, QString()));
        return view;
    }

private:
    QTabWidget *m_tabs;
};

} // namespace

int main(int argc, char **argv)
{
    EngineRendering::applyFromProcess();
    QApplication app(argc, argv);
    QTabWidget tabs;
    QObject::connect(&tabs, &QTabWidget::currentChanged, &tabs, [&tabs](int) { titleFromFront(&tabs); });
    auto *first = new TabView(&tabs);
    tabs.addTab(first, QString());
    // Its pages as large as the browser's in its first window (1200 x 698): the frames
    // the engine keeps for each tab grow with them.
    tabs.resize(1204, 726);
    first->load(QUrl::fromUserInput(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("about:blank")));
    tabs.show();
    return app.exec();
}
