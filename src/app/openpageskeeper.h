#pragma once
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

#include "tabs/openpageslist.h"

class FormWeb;
class PageStack;
class SerialWriter;

// Keeps the window's open pages on disk while the browser runs, so that a run killed, cut
// off by a power cut or a logout that does not wait gives them back at the next start.
// The list is written whole (never half), away from the window, a moment after the strip
// settles (at most once in that moment, however busy a page's title is); a normal exit
// takes it away, so a normal start finds nothing.
class OpenPagesKeeper : public QObject
{
    Q_OBJECT
public:
    // path: the instance's own list file.
    OpenPagesKeeper(PageStack &pages, const QString &path, QObject *parent = nullptr);
    ~OpenPagesKeeper() override;

    static constexpr int kSettleMs = 1000;
    void setSettleMs(int ms) { m_settle.setInterval(ms); }
    // A list that could not be written is tried again this long after.
    static constexpr int kRetryMs = 2000;
    void setRetryMs(int ms) { m_retry.setInterval(ms); }
    // Lists handed to the writer so far.
    int writes() const { return m_writes; }
    // The list file of an engine storage instance ("default", "instance-2" ...), beside
    // the settings.
    static QString listPath(const QString &instance);

    // What a run that did not end normally left: it is set aside until answered (a crash
    // before the answer loses nothing), and joined to what an earlier unanswered start set
    // aside. unreadable tells that a file was there but was not such a list (it is dropped).
    // leftOut counts its pages no tab may load (script, data), which are dropped.
    std::optional<OpenPagesList> takeLeftOver(bool *unreadable, int *leftOut);
    // The user answered: what was set aside goes once nothing of it can be lost: at once
    // (listSize 0), or once a list of listSize pages, the restored ones with the rest, is
    // on disk (a normal exit also takes it away).
    void leftOverAnswered(int listSize);

    // The tabs of a normal exit, for the next normal start (where the user asked for it):
    // written now, without visits (the history has them).
    bool keepAsLastSession();
    // What the last normal exit kept, set aside as a list left over is until the pages
    // are on disk again (leftOverAnswered); none when there is none.
    std::optional<OpenPagesList> takeLastSession();
    // Not wanted (a crash asks instead, or the option is off): it goes.
    void dropLastSession();
    QString lastSessionPath() const { return m_path.chopped(int(qstrlen(".json"))) + QStringLiteral("-last-session.json"); }

    // The strip changed: the list is written once it settles.
    void changed();
    // A page closed and its record was handed over: the list is written a turn later, with
    // the closed pages first, so the page is offered again in neither way after a crash.
    void pageClosed();
    // Writes now (and waits for the write); false when it could not be written.
    bool writeNow();
    // The browser ends normally: no more writes, and the list goes.
    void finish();
    // The list as the strip shows it now.
    OpenPagesList snapshot() const;
    QString path() const { return m_path; }
    QString setAsidePath() const { return m_path + QStringLiteral(".previous"); }

private:
    // The pages as a list; active (may be null) is marked.
    static OpenPagesList listOf(const QList<FormWeb *> &pages, const FormWeb *active);
    void write();
    // The writer's answer for bytes.
    void written(bool ok, const QByteArray &bytes);
    // The pages past what a list holds, as a page of links beside the list; its path, or
    // "" when it could not be written.
    QString writeOlder(const QVector<OpenPagesList::Page> &older) const;

    PageStack &m_pages;
    QString m_path;
    QTimer m_settle;
    QTimer m_retry;
    bool m_failureTold = false;
    QByteArray m_written;
    // One writer: lists reach the disk in the order they were made.
    std::unique_ptr<SerialWriter> m_writer;
    bool m_finished = false;
    // The set-aside list goes once a list of at least this many pages is on disk.
    int m_asideUntil = -1;
    int m_writes = 0;
};
