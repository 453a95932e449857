#pragma once
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

class Dialogs;
class Download;
class EngineDownloads;
class QWidget;
class SettingsStore;

// Every file the engine is asked to download: each asks the user where to save it (the
// reply's own name, in the folder used last), then runs in the downloads window; several
// run at once. The engine writes to "<name>.download" beside the target and gives it its
// name only when complete; a cancelled or failed transfer leaves nothing behind.
class DownloadList : public QObject
{
    Q_OBJECT
public:
    DownloadList(EngineDownloads *downloads, Dialogs &dialogs, SettingsStore &store, QWidget *dialogOwner);

    struct Row {
        QPointer<Download> download;
        QString path;
        QElapsedTimer since;
        QString name() const;
    };
    const QList<Row> &rows() const { return m_rows; }
    int running() const;
    // Ends every transfer under way (the program exits).
    void cancelAll();

    // The folder proposed to the user: the one used last, else the desktop's download
    // folder, else the program's own.
    QString proposedFolder() const;
    // The next download of address proposes this folder and name (from the download
    // dialog) instead; one that has not come within a claim's time is forgotten.
    void expect(const QString &address, const QString &folder, const QString &name);
    // Bytes as a reader says them ("1.5 MB").
    static QString size(qint64 bytes);

    // Asked when the program exits with transfers under way.
    static QString exitQuestion(int running);

signals:
    void added(int row);
    void changed(int row);
    // A transfer ended: done, or failed with the reason (cancelled ones say nothing).
    void ended(int row, const QString &message);
    // A transfer was not started, and why.
    void refused(const QString &message);

private:
    void onRequested(Download *download);

    Dialogs &m_dialogs;
    SettingsStore &m_store;
    QWidget *m_owner;
    QList<Row> m_rows;
    struct Expected {
        QUrl url;
        QString folder;
        QString name;
        QElapsedTimer since;
    };
    QList<Expected> m_expected;
};
