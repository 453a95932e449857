#include "pictures/formimage.h"
#include "tabs/sites.h"

#include "engine/pagecontrol.h"
#include "pictures/atomicfile.h"
#include "pictures/gallerypage.h"
#include "pictures/picturelist.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "tabs/stripgeometry.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <QUrl>

using StripGeometry::toPixels;

const QString FormImage::kCaption = QStringLiteral("图片详情");

namespace {
struct Button {
    int left; // twips
    const char *caption;
};
const Button kButtons[6] = {{2280, "保存(&S)"}, {6600, "上一幅(&U)"}, {8040, "下一幅(&N)"},
                            {3720, "网址(&H)"}, {11040, "放大(&B)"}, {12600, "缩小(&M)"}};
} // namespace

FormImage::FormImage(PageEngine &engine, const PictureList &list, Dialogs &dialogs, Shell &shell, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_list(list)
    , m_dialogs(dialogs)
    , m_shell(shell)
    , m_pageFile(Paths::generatedPagesDir() + QStringLiteral("/viewer-%1.htm").arg(QCoreApplication::applicationPid()))
{
    setObjectName(QStringLiteral("FormImage"));
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    m_web = engine.newPage(this, this);
    m_web->widget()->setObjectName(QStringLiteral("Web"));
    m_web->setShowOnFirstDocument(false);
    m_web->widget()->show();
    // The page is a local file showing a picture from anywhere; it reads no other file.
    m_web->setLocalPageAccess(true, false);
    for (int i = 0; i < 6; ++i) {
        auto *b = new QPushButton(QString::fromUtf8(kButtons[i].caption), this);
        b->setObjectName(QStringLiteral("Cmd%1").arg(i));
        m_cmd.append(b);
    }
    m_cmb = new QComboBox(this);
    m_cmb->setObjectName(QStringLiteral("Cmb"));
    m_cmb->installEventFilter(this);
    connect(m_cmd[0], &QPushButton::clicked, this, &FormImage::save);
    connect(m_cmd[1], &QPushButton::clicked, this, [this] { step(-1); });
    connect(m_cmd[2], &QPushButton::clicked, this, [this] { step(1); });
    connect(m_cmd[3], &QPushButton::clicked, this, &FormImage::showAddress);
    connect(m_cmd[4], &QPushButton::clicked, this, [this] { ZOOMIE(m_zoom += 10); });
    connect(m_cmd[5], &QPushButton::clicked, this, [this] { ZOOMIE(m_zoom -= 10); });
    for (QPushButton *b : std::as_const(m_cmd))
        connect(b, &QPushButton::clicked, m_cmb, [this] { m_cmb->setFocus(); });
    connect(m_web, &PageControl::DocumentComplete, this, [this] {
        m_zoom = 100;
        setWindowTitle(kCaption + QStringLiteral(" - ") + m_address);
        m_cmb->setFocus();
        emit shown(m_address);
    });
    resize(toPixels(14500), toPixels(9000));
}

FormImage::~FormImage()
{
    QFile::remove(m_pageFile);
}

void FormImage::LoadImg(const QString &address)
{
    m_address = address;
    // Escaped and written whole; a page that cannot be written leaves the last picture.
    if (!AtomicFile::write(m_pageFile, GalleryPage::viewerBytes(address)))
        return;
    m_web->Navigate(QUrl::fromLocalFile(m_pageFile).toString());
}

void FormImage::ZOOMIE(int percent)
{
    m_web->runPageScript(QStringLiteral("document.body.style.zoom='%1%'").arg(percent));
}

void FormImage::step(int by)
{
    // Over the last gallery's list, wrapping around at both ends.
    m_position += by;
    if (m_position < 0)
        m_position = m_list.count() - 1;
    else if (m_position > m_list.count() - 1)
        m_position = 0;
    if (m_position >= 0 && m_position < PictureList::kSize)
        LoadImg(m_list.at(m_position));
}

void FormImage::save()
{
    const QString name = QFileInfo(QUrl(m_address).path()).fileName();
    const QString path = m_dialogs.saveFile(this, QStringLiteral("保存图片"), name.isEmpty() ? QStringLiteral("图片.jpg") : name,
                                            QStringLiteral("图片文件 (*.jpg *.jpeg *.png *.gif *.bmp *.webp);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    // Answered only while this window lives: closed meanwhile, it has nobody to tell.
    m_web->downloadTo(m_address, path, this, [this, path](bool ok) {
        if (!ok)
            m_dialogs.warning(this, kCaption, QStringLiteral("图片无法保存到 %1。").arg(path));
    });
}

void FormImage::showAddress()
{
    const QString answer = m_dialogs.askText(this, QStringLiteral("网址"), QStringLiteral("图片网址如下，是否立即打开网址？"), m_address);
    // Only a web address goes to the desktop: a picture page could name anything.
    if (!answer.isEmpty() && Sites::isWebAddress(m_address))
        m_shell.open(m_address);
}

void FormImage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = StripGeometry::toTwips(width());
    const int h = StripGeometry::toTwips(height());
    m_web->widget()->setGeometry(toPixels(50), toPixels(50), toPixels(qMax(0, w - 100)), toPixels(qMax(0, h - 650)));
    for (int i = 0; i < 6; ++i)
        m_cmd[i]->setGeometry(toPixels(kButtons[i].left), toPixels(h - 550), toPixels(1300), toPixels(495));
    m_cmb->setGeometry(toPixels(-3240), 0, toPixels(1000), toPixels(300));
}

bool FormImage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_cmb && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            m_web->scrollBy(0, key == Qt::Key_Up ? -100 : 100);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
