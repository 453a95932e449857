#include "tabs/tabstrip.h"

#include "tabs/stripgeometry.h"
#include "tabs/tabbook.h"
#include "platform/inputhook.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

using StripGeometry::toPixels;

namespace {
constexpr int kLabelTop = 1000;
constexpr int kLabelHeight = 300;
} // namespace

TabStrip::TabStrip(QWidget *row)
    : QObject(row)
    , m_row(row)
{
    m_add = new QLabel(QStringLiteral("+"), row);
    m_add->setObjectName(QStringLiteral("LabAdd"));
    m_add->setToolTip(QStringLiteral("新建标签"));
    m_add->setAlignment(Qt::AlignCenter);
    QFont addFont(QStringLiteral("SimHei"));
    addFont.setBold(true);
    addFont.setPointSizeF(14.25);
    m_add->setFont(addFont);
    m_add->setStyleSheet(QStringLiteral("QLabel { background: #008000; color: white; }"));
    m_add->setGeometry(toPixels(30), toPixels(1005), toPixels(375), toPixels(270));
    m_add->installEventFilter(this);

    m_close = new QLineEdit(QStringLiteral("X"), row);
    m_close->setObjectName(QStringLiteral("TextClose"));
    m_close->setReadOnly(true);
    m_close->setFocusPolicy(Qt::NoFocus);
    m_close->setAlignment(Qt::AlignCenter);
    m_close->setFrame(false);
    QFont closeFont(QStringLiteral("SimHei"));
    closeFont.setBold(true);
    closeFont.setPointSize(9);
    m_close->setFont(closeFont);
    m_close->setStyleSheet(QStringLiteral("QLineEdit { background: #FFFF00; color: black; }"));
    m_close->setGeometry(toPixels(-2000), toPixels(1010), toPixels(250), toPixels(270));
    m_close->installEventFilter(this);

    label(0);
    // Drops on a label end here too: read-only labels pass them on to the row.
    row->setAcceptDrops(true);
    row->installEventFilter(this);
}

QLineEdit *TabStrip::label(int slot)
{
    if (QLineEdit *existing = m_labels.value(slot, nullptr))
        return existing;
    auto *lab = new QLineEdit(m_row);
    lab->setObjectName(QStringLiteral("TextLab"));
    lab->setProperty("slot", slot);
    lab->setReadOnly(true);
    lab->setFrame(false);
    lab->setMouseTracking(true);
    // Never the keyboard's: a label given focus when the page in front is hidden would
    // select its whole text and scroll to its end.
    lab->setFocusPolicy(Qt::NoFocus);
    // A drop on a label goes to the row, which opens what was dropped.
    lab->setAcceptDrops(false);
    lab->setGeometry(0, toPixels(kLabelTop), toPixels(2500), toPixels(kLabelHeight));
    InputHook::HookTextBox(lab);
    // After the hook, so this filter sees the middle button's release (a close) before the
    // hook swallows it as a paste.
    lab->installEventFilter(this);
    setColours(lab, false);
    m_labels.insert(slot, lab);
    lab->show();
    m_close->raise();
    return lab;
}

void TabStrip::resetLabel(int slot)
{
    QLineEdit *lab = label(slot);
    lab->clear();
    lab->setToolTip(QString());
    lab->show();
}

void TabStrip::removeLabel(int slot)
{
    QLineEdit *lab = m_labels.value(slot, nullptr);
    if (!lab)
        return;
    if (slot == 0) {
        lab->hide();
        return;
    }
    m_labels.remove(slot);
    lab->deleteLater();
}

void TabStrip::setLabel(int slot, const PageText::Label &text)
{
    QLineEdit *lab = m_labels.value(slot, nullptr);
    if (!lab)
        return;
    lab->setText(text.text);
    lab->setCursorPosition(0);
    lab->setToolTip(text.toolTip);
}

QString TabStrip::labelText(int slot) const
{
    QLineEdit *lab = m_labels.value(slot, nullptr);
    return lab ? lab->text() : QString();
}

QString TabStrip::labelToolTip(int slot) const
{
    QLineEdit *lab = m_labels.value(slot, nullptr);
    return lab ? lab->toolTip() : QString();
}

bool TabStrip::looksActive(int slot) const
{
    QLineEdit *lab = m_labels.value(slot, nullptr);
    return lab && lab->palette().color(QPalette::Base) == QColor(Qt::white);
}

void TabStrip::arrange(const TabBook &book, int clientWidthTwips)
{
    const StripGeometry::TabRow row = StripGeometry::tabRow(clientWidthTwips, book.count());
    for (int i = 0; i < book.count(); ++i) {
        QLineEdit *lab = label(book.slotAt(i));
        // A width of zero or less cannot be set; the label keeps its old width.
        const int width = row.labelWidth > 0 ? toPixels(row.labelWidth) : lab->width();
        lab->setGeometry(toPixels(row.lefts[i]), toPixels(kLabelTop), width, toPixels(kLabelHeight));
        // The start of the title shows, whatever width the label had.
        if (!lab->hasSelectedText())
            lab->setCursorPosition(0);
        setColours(lab, i == book.activePos());
    }
    m_add->move(toPixels(row.addLeft), toPixels(1005));
}

void TabStrip::moveCloseButton(int leftTwips)
{
    m_close->move(toPixels(leftTwips), toPixels(1010));
    m_close->raise();
}

void TabStrip::setColours(QLineEdit *label, bool active)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::Base, active ? Qt::white : QColor(0, 0, 255));
    pal.setColor(QPalette::Text, active ? Qt::black : Qt::white);
    label->setPalette(pal);
}

bool TabStrip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_row) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *drag = static_cast<QDropEvent *>(event);
            if (drag->mimeData()->hasUrls())
                drag->acceptProposedAction();
            return drag->mimeData()->hasUrls();
        }
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            QStringList addresses;
            for (const QUrl &url : drop->mimeData()->urls())
                if (url.isValid())
                    addresses << (url.isLocalFile() ? QUrl::fromLocalFile(url.toLocalFile()).toString() : url.toString());
            if (addresses.isEmpty())
                return false;
            drop->acceptProposedAction();
            emit addressesDropped(addresses);
            return true;
        }
        default:
            return false;
        }
    }
    if (watched == m_add) {
        if (event->type() == QEvent::MouseButtonRelease)
            emit addClicked();
        return false;
    }
    if (watched == m_close) {
        if (event->type() == QEvent::MouseButtonRelease)
            emit closeClicked();
        return false;
    }
    auto *lab = qobject_cast<QLineEdit *>(watched);
    if (!lab || !m_labels.contains(lab->property("slot").toInt()))
        return false;
    const int slot = lab->property("slot").toInt();
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::Enter:
        moveCloseButton(StripGeometry::closeButtonLeft(StripGeometry::toTwips(lab->x()),
                                                       StripGeometry::toTwips(lab->width())));
        emit labelHovered(slot);
        break;
    case QEvent::MouseButtonPress:
        // A read-only line edit passes the middle button on, and its release with it.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton) {
            event->accept();
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        emit labelReleased(slot, static_cast<QMouseEvent *>(event)->button());
        // The middle button closes the tab: nothing of the label is left to paste into.
        return static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton;
    case QEvent::MouseButtonDblClick:
        emit labelDoubleClicked(slot);
        return true;
    default:
        break;
    }
    return false;
}
