// The page window's screenshot: the whole document as one JPEG file.
#include "page/formweb.h"

#include "engine/browsercontrol.h"
#include "page/pagehost.h"
#include "page/session.h"
#include "page/statusbar.h"
#include "pictures/atomicfile.h"
#include "pictures/jpegwriter.h"
#include "pictures/pagescreenshot.h"
#include "platform/dialogs.h"
#include "tabs/pagetext.h"
#include "userdata/options.h"

#include <QApplication>
#include <QPointer>
#include <QThreadPool>

const QString FormWeb::kScreenshotSafeMode = QString(15, QLatin1Char(' '))
    + QStringLiteral("网页截图时必须退出安全模式，请在“系统设置中心”里退出“安全模式”后，再重新启动《Velmo安全浏览器》即可。");

FormWeb::Shot FormWeb::ScreenSaveAs(const QString &mainCaption, std::function<void(bool)> done)
{
    const bool galleryInFront = m_host.galleryShown() && WebPic();
    if (m_session.options.safePictureMode() != 0 && !m_host.galleryShown()) {
        m_session.dialogs.information(this, PageText::kProductName, kScreenshotSafeMode);
        return Shot::SafeMode;
    }
    // One job at a time takes pictures from this page's view.
    if (m_saver->busy() || (m_screenshot && m_screenshot->running())) {
        showStatus(QStringLiteral("正在保存本网页的图片，请等它结束后再截图。"));
        return Shot::Busy;
    }
    const QString path = m_session.dialogs.saveFile(this, QStringLiteral("截图另存为"),
                                                    PageText::screenshotName(mainCaption, m_pageTitle, location()),
                                                    QStringLiteral("图片文件 (*.jpg *.jpeg)"));
    if (path.isEmpty())
        return Shot::Cancelled;

    delete m_screenshot;
    m_screenshot = new PageScreenshot(galleryInFront ? WebPic() : m_web, this);
    setCursor(Qt::WaitCursor);
    connect(m_screenshot, &PageScreenshot::progressed, this,
            [this](int percent) { m_status->setStatusText(QStringLiteral("正在截图…… %1%").arg(percent)); });
    connect(m_screenshot, &PageScreenshot::finished, this,
            [this, path, done](const QImage &picture, bool whole, int documentHeight) {
                unsetCursor();
                const auto finish = [this, done](bool ok, const QString &text) {
                    showStatus(text);
                    if (ok)
                        QApplication::beep();
                    if (done)
                        done(ok);
                };
                if (picture.isNull()) {
                    finish(false, QStringLiteral("网页截图失败：这个网页没有可以截取的内容。"));
                    return;
                }
                if (!whole
                    && !m_session.dialogs.question(this, QStringLiteral("截图另存为"),
                                                   QStringLiteral("网页太长，一张图片只能容纳它的前 %1 像素（全长 %2 像素）。是否保存截取的这一部分？")
                                                       .arg(picture.height())
                                                       .arg(documentHeight))) {
                    finish(false, QString());
                    return;
                }
                // Encoded and written away from the window, which keeps answering.
                QPointer<FormWeb> self(this);
                QThreadPool::globalInstance()->start([self, picture, path, finish] {
                    const QByteArray bytes = JpegWriter::encode(picture, 80);
                    const bool ok = !bytes.isEmpty() && AtomicFile::write(path, bytes);
                    const QString text = ok ? QStringLiteral("网页截图已保存到 %1").arg(path)
                                         : bytes.isEmpty() ? QStringLiteral("网页截图无法存成 JPEG 图片，没有保存。")
                                                           : QStringLiteral("网页截图无法保存到 %1（文件夹不能写入或磁盘已满）。").arg(path);
                    QMetaObject::invokeMethod(qApp, [self, ok, text, finish] {
                        if (live(self))
                            finish(ok, text);
                    });
                });
            });
    m_screenshot->start();
    return Shot::Started;
}
