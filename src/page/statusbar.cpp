#include "page/statusbar.h"

#include "tabs/stripgeometry.h"

#include <QLabel>

using StripGeometry::toPixels;
using StripGeometry::toTwips;

namespace {

// (left, width) in twips; Lab6 is widened to the window, Lab8 keeps its own width.
struct LabSpec { int left; int width; };
const LabSpec kLabs[9] = {
    {0, 7095}, {7095, 300}, {7410, 1695}, {9120, 300}, {9435, 1815},
    {11205, 300}, {14230, 0}, {13920, 300}, {11520, 2400},
};
enum Field { Status = 0, Pictures = 2, Progress = 4, Product = 6, Saved = 8 };
const QString kSavedCaption = QStringLiteral("  自动下载图片 0");
constexpr int kSavedWidth = 2400;

} // namespace

StatusBar::StatusBar(QWidget *page, const QDate &today)
    : QObject(page)
{
    for (int i = 0; i < 9; ++i) {
        auto *lab = new QLabel(page);
        lab->setObjectName(QStringLiteral("Lab%1").arg(i));
        lab->setTextFormat(Qt::PlainText);
        lab->setAutoFillBackground(true);
        m_lab.append(lab);
    }
    m_lab[Pictures]->setText(QStringLiteral("0"));
    m_lab[Progress]->setText(today.toString(QStringLiteral("yyyy/M/d")));
    m_lab[Saved]->setText(kSavedCaption);
    m_lab[Saved]->resize(toPixels(kSavedWidth), 0);
    m_lab[Product]->setText(QStringLiteral("安全浏览器"));
}

void StatusBar::setStatusText(const QString &text) { m_lab[Status]->setText(text); }
QString StatusBar::statusText() const { return m_lab[Status]->text(); }
void StatusBar::showPicturesFound(int count) { m_lab[Pictures]->setText(QStringLiteral("发现图片：%1").arg(count)); }
void StatusBar::showPictureTotal(int count) { m_lab[Pictures]->setText(QStringLiteral("图片总数：%1").arg(count)); }
void StatusBar::setPictureCount(int count) { m_lab[Pictures]->setText(QString::number(count)); }
QString StatusBar::pictureCount() const { return m_lab[Pictures]->text(); }
void StatusBar::setProgress(const QString &text) { m_lab[Progress]->setText(text); }
QString StatusBar::progress() const { return m_lab[Progress]->text(); }
QString StatusBar::productName() const { return m_lab[Product]->text(); }

void StatusBar::showZoom(int percent)
{
    m_lab[Product]->setText(percent == 100 ? QStringLiteral("安全浏览器") : QStringLiteral("缩放 %1%").arg(percent));
}
QString StatusBar::savedCounter() const { return m_lab[Saved]->text(); }

void StatusBar::resetSavedCounter()
{
    QLabel *saved = m_lab[Saved];
    saved->setText(kSavedCaption);
    QPalette pal = saved->palette();
    pal.setColor(QPalette::Window, Qt::white);
    saved->setPalette(pal);
    saved->resize(toPixels(kSavedWidth), saved->height());
}

void StatusBar::showSaveProgress(int step)
{
    QLabel *saved = m_lab[Saved];
    saved->setText(QString());
    QPalette pal = saved->palette();
    pal.setColor(QPalette::Window, Qt::red);
    saved->setPalette(pal);
    saved->resize(toPixels(qBound(0, step, 23) * 100), saved->height());
}

void StatusBar::showSavedCaption(const QString &caption)
{
    QLabel *saved = m_lab[Saved];
    saved->setText(caption);
    saved->resize(toPixels(kSavedWidth), saved->height());
}

void StatusBar::layout(int width, int height)
{
    const int top = toPixels(toTwips(height) - kHeight);
    for (int i = 0; i < 9; ++i) {
        int w = kLabs[i].width;
        if (i == Product)
            w = toTwips(width) - 11550;
        if (i == Saved)
            w = toTwips(m_lab[Saved]->width());
        m_lab[i]->setGeometry(toPixels(kLabs[i].left), top, qMax(0, toPixels(w)), toPixels(kHeight));
        m_lab[i]->raise();
    }
}
