#pragma once
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "files/keptdownloads.h"

class Clock;
class Dialogs;
class Transfer;
class DownloadSource;
class QWidget;
class SettingsStore;

// Every file the engine is asked to download: each asks the user where to save it (the
// reply's own name, in the folder used last), then runs in the downloads window; several
// run at once. The engine writes to "<name>.download" beside the target and gives it its
// name only when complete; a cancelled or failed transfer leaves nothing behind, except
// one whose connection broke, which keeps its bytes for 继续 until it is cancelled or
// cleared. The list (file, address, size, how it ended, when) is kept in keptFile across
// runs until 清除列表.
class DownloadList : public QObject
{
    Q_OBJECT
public:
    DownloadList(DownloadSource *downloads, Dialogs &dialogs, SettingsStore &store, const Clock &clock,
                 const QString &keptFile, QWidget *dialogOwner);

    struct Row {
        QPointer<Transfer> download; // null for a row an earlier run kept
        QString path;
        QElapsedTimer since;
        KeptDownload kept;           // how it ended (rows of earlier runs, and ended ones)
        bool ended = false;
        QString name() const;
        // Done, and its file is still there.
        bool fileThere() const;
    };
    const QList<Row> &rows() const { return m_rows; }
    int running() const;
    // Ends every transfer under way (the program exits).
    void cancelAll();
    // 继续: a transfer whose connection broke goes on.
    void resume(int row);
    // 清除列表: every ended row goes (a broken transfer's bytes with it); those under way
    // stay.
    void clearList();
    QString keptFile() const { return m_keptFile; }
    // A list the disk refused is written again this long after.
    static constexpr int kKeepAgainMs = 2000;
    void setKeepAgainMs(int ms) { m_keepAgain.setInterval(ms); }

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
    // Why a download failed, in the user's words.
    static QString failureText(const Transfer &download);

    // How a download goes: through the save dialog, saved without one beside the last
    // (a burst the user allowed), or not at all.
    enum class Route { Ask, Quiet, Hold, Refuse }; // Hold: saved as Quiet, waiting for Quiet or Refuse
    using Gate = std::function<void(Transfer *, std::function<void(Route)>)>;
    // Asked first for every download; its answer may come later.
    void setGate(Gate gate) { m_gate = std::move(gate); }

signals:
    void added(int row);
    // Rows went: the list is to be shown anew.
    void cleared();
    void changed(int row);
    // A transfer ended: done, or failed with the reason (cancelled ones say nothing).
    void ended(int row, const QString &message);
    // A transfer was not started, and why.
    void refused(const QString &message);

private:
    void onRequested(Transfer *download);
    void askWhere(Transfer *download);
    bool saveQuietly(Transfer *download);
    // Where the download dialog expects a download of url (-1: it does not).
    qsizetype expectedAt(const QUrl &url);
    // The download runs into path, in a row of its own; false when another transfer
    // writes there.
    bool begin(Transfer *download, const QString &path);
    int rowOf(const Transfer *download) const;
    void onFinished(Transfer *download);
    // The ended rows to keptFile.
    void keep();

    Dialogs &m_dialogs;
    SettingsStore &m_store;
    const Clock &m_clock;
    QString m_keptFile;
    QWidget *m_owner;
    QList<Row> m_rows;
    // Kept rows this instance let go (cleared, or ended anew): not written back from the
    // file another instance shares.
    QVector<KeptDownload> m_letGo;
    // The rows of the file as this instance last read or wrote it: one gone from the file
    // since was let go by another instance (清除列表, the trace clean-up), and goes here too.
    QVector<KeptDownload> m_seenOnDisk;
    struct Expected {
        QUrl url;
        QString folder;
        QString name;
        QElapsedTimer since;
    };
    QList<Expected> m_expected;
    Gate m_gate;
    QTimer m_keepAgain;
    QList<QPointer<Transfer>> m_refused;
};
