#include "pictures/screenshotfiles.h"

#include "pictures/atomicfile.h"
#include "pictures/jpegwriter.h"
#include "platform/serialwriter.h"

#include <QFileInfo>

namespace {

// Shared by every screenshot and outliving each: one picture at a time (they are large,
// and the window keeps answering meanwhile); a page closed while its pictures are written
// does not wait for them, and they are still written whole. The program's end waits.
SerialWriter &writer()
{
    static SerialWriter pool;
    return pool;
}

} // namespace

ScreenshotFiles::ScreenshotFiles(const QString &path, QObject *parent)
    : QObject(parent)
    , m_path(path)
    , m_answers(AnswerBox<ScreenshotFiles>::openFor(this))
{
}

ScreenshotFiles::~ScreenshotFiles()
{
    m_answers->close();
}

QString ScreenshotFiles::partPath(const QString &path, int index)
{
    if (index == 0)
        return path;
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? info.fileName() : info.fileName().chopped(suffix.size() + 1);
    const QString name = base + QStringLiteral("-%1").arg(index + 1) + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    return info.dir().filePath(name);
}

void ScreenshotFiles::write(int index, int count, const QImage &picture)
{
    m_count = count;
    const QString path = partPath(m_path, index);
    ++m_pending;
    writer().start([answers = m_answers, index, path, picture] {
        const QByteArray bytes = JpegWriter::encode(picture, 80);
        QString failure;
        if (bytes.isEmpty()) {
            failure = QStringLiteral("网页截图无法存成 JPEG 图片，没有保存。");
        } else if (index == 0) {
            // The user chose this name, and to replace what it held.
            if (!AtomicFile::write(path, bytes))
                failure = QStringLiteral("网页截图无法保存到 %1（文件夹不能写入或磁盘已满）。").arg(path);
        } else {
            switch (AtomicFile::writeNew(path, bytes)) {
            case AtomicFile::NewFile::Written: break;
            case AtomicFile::NewFile::Exists:
                failure = QStringLiteral("网页截图的第 %1 张图片没有保存：%2 已经存在，没有替换它。").arg(index + 1).arg(path);
                break;
            case AtomicFile::NewFile::Failed:
                failure = QStringLiteral("网页截图无法保存到 %1（文件夹不能写入或磁盘已满）。").arg(path);
                break;
            }
        }
        answers->post([index, failure](ScreenshotFiles *files) { files->written(index, failure); });
    });
}

void ScreenshotFiles::written(int index, const QString &failure)
{
    --m_pending;
    if (failure.isEmpty())
        m_paths.insert(index, partPath(m_path, index));
    else if (m_failure.isEmpty())
        m_failure = failure;
    finishIfDone();
}

void ScreenshotFiles::captureEnded(bool taken)
{
    m_captureEnded = true;
    m_taken = taken;
    finishIfDone();
}

void ScreenshotFiles::finishIfDone()
{
    if (m_finished || !m_captureEnded || m_pending > 0)
        return;
    m_finished = true;
    if (!m_failure.isEmpty()) {
        emit finished(false, m_failure);
    } else if (!m_taken || m_paths.isEmpty()) {
        emit finished(false, m_paths.isEmpty() ? QStringLiteral("网页截图失败：这个网页没有可以截取的内容。")
                                               : QStringLiteral("网页截图没有截完：网页在截图时停止了响应，已保存的是 %1。")
                                                     .arg(m_paths.values().join(QStringLiteral("、"))));
    } else if (m_count == 1) {
        emit finished(true, QStringLiteral("网页截图已保存到 %1").arg(m_paths.first()));
    } else {
        emit finished(true, QStringLiteral("网页截图已分成 %1 张图片保存：%2").arg(m_count).arg(m_paths.values().join(QStringLiteral("、"))));
    }
}
