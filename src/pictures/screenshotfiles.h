#pragma once
#include <QImage>
#include <QObject>
#include <QString>
#include <QMap>
#include <memory>

#include "platform/answerbox.h"

// The pictures of one screenshot as JPEG files: the first under the name the user chose,
// the next ones beside it as name-2, name-3 … (never over a file that is there: the user
// was asked about the first name only). Each is encoded and written away from the window
// as soon as it is taken, one at a time.
class ScreenshotFiles : public QObject
{
    Q_OBJECT
public:
    explicit ScreenshotFiles(const QString &path, QObject *parent = nullptr);
    ~ScreenshotFiles() override;

    // The file of picture index (0: path itself).
    static QString partPath(const QString &path, int index);
    void write(int index, int count, const QImage &picture);
    // The capture ended: taken tells whether every picture came.
    void captureEnded(bool taken);

signals:
    // Every file written (ok), or what failed first, in words for the status bar.
    void finished(bool ok, const QString &text);

private:
    void written(int index, const QString &failure);
    void finishIfDone();

    QString m_path;
    std::shared_ptr<AnswerBox<ScreenshotFiles>> m_answers;
    QMap<int, QString> m_paths; // written, by index
    int m_pending = 0;
    int m_count = 0;
    bool m_captureEnded = false;
    bool m_taken = false;
    QString m_failure;
    bool m_finished = false;
};
