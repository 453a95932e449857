#include "app/commands.h"
#include "app/frmmain.h"
#include "app/pagestack.h"
#include "files/downloadlist.h"
#include "files/formdownloads.h"
#include "page/session.h"
#include "platform/dialogs.h"

#include <QCloseEvent>
#include <QPointer>

namespace {

// Exiting with transfers under way asks once; yes ends them (nothing is left half
// written), no keeps the window open.
class ExitGuard : public QObject
{
public:
    ExitGuard(DownloadList &list, Dialogs &dialogs, QWidget *window)
        : QObject(window), m_list(list), m_dialogs(dialogs), m_window(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || event->type() != QEvent::Close)
            return false;
        const int running = m_list.running();
        if (running == 0)
            return false;
        if (!m_dialogs.question(m_window, QStringLiteral("Velmo安全浏览器"), DownloadList::exitQuestion(running))) {
            event->ignore();
            return true;
        }
        m_list.cancelAll();
        return false;
    }

private:
    DownloadList &m_list;
    Dialogs &m_dialogs;
    QWidget *m_window;
};

} // namespace

void wireFileCommands(Commands &c)
{
    Session &session = c.session;
    auto *downloads = new DownloadList(session.profile, session.dialogs, session.store, &c.window);
    auto window = std::make_shared<QPointer<FormDownloads>>();
    Frmmain &main = c.window;
    QObject::connect(downloads, &DownloadList::added, downloads, [downloads, window, &session, &main] {
        if (!*window)
            *window = new FormDownloads(*downloads, session.shell, &main);
        (*window)->show();
        (*window)->raise();
    });
    PageStack &pages = c.pages;
    QObject::connect(downloads, &DownloadList::ended, &pages, [&pages](int, const QString &message) { pages.tell(message); });
    new ExitGuard(*downloads, session.dialogs, &c.window);
}
