#include "files/formdownloads.h"

#include "engine/transfer.h"
#include "files/downloadlist.h"
#include "platform/shell.h"

#include <QFileInfo>
#include <QtMath>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
enum Column { Name, Progress, Speed, Left, State, Open, Action };

// How the row stands: the whole text stays reachable where the column cuts it.
void setState(QTreeWidgetItem *item, const QString &text)
{
    item->setText(State, text);
    item->setToolTip(State, text);
}
}

FormDownloads::FormDownloads(DownloadList &list, Shell &shell, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_list(list)
    , m_shell(shell)
    , m_table(new QTreeWidget(this))
    , m_clear(new QPushButton(QStringLiteral("清除列表"), this))
{
    setObjectName(QStringLiteral("FormDownloads"));
    setWindowTitle(QStringLiteral("下载"));
    m_table->setObjectName(QStringLiteral("Downloads"));
    m_table->setRootIsDecorated(false);
    m_table->setHeaderLabels({QStringLiteral("文件"), QStringLiteral("进度"), QStringLiteral("速度"),
                              QStringLiteral("剩余时间"), QStringLiteral("状态"), QString(), QString()});
    m_table->header()->setSectionResizeMode(Name, QHeaderView::Stretch);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_table);
    layout->addWidget(m_clear, 0, Qt::AlignRight);
    resize(700, 260);
    showAll();
    connect(&m_list, &DownloadList::added, this, &FormDownloads::addRow);
    connect(&m_list, &DownloadList::cleared, this, &FormDownloads::showAll);
    connect(m_clear, &QPushButton::clicked, &m_list, &DownloadList::clearList);
    // Progress comes in thousands of steps a second: the rows follow five times a second.
    m_refresh.setInterval(200);
    m_refresh.setSingleShot(true);
    connect(&m_refresh, &QTimer::timeout, this, [this] {
        for (int row : std::as_const(m_dirty))
            updateRow(row);
        m_dirty.clear();
    });
    connect(&m_list, &DownloadList::changed, this, [this](int row) {
        m_dirty.insert(row);
        if (!m_refresh.isActive())
            m_refresh.start();
    });
    connect(&m_list, &DownloadList::ended, this, [this](int row) { updateRow(row); });
}

QString FormDownloads::progressText(int row) const
{
    QTreeWidgetItem *item = m_table->topLevelItem(row);
    return item ? item->text(Progress) : QString();
}

QString FormDownloads::stateText(int row) const
{
    QTreeWidgetItem *item = m_table->topLevelItem(row);
    return item ? item->text(State) : QString();
}

QPushButton *FormDownloads::button(int row) const
{
    QTreeWidgetItem *item = m_table->topLevelItem(row);
    return item ? qobject_cast<QPushButton *>(m_table->itemWidget(item, Action)) : nullptr;
}

QPushButton *FormDownloads::openButton(int row) const
{
    QTreeWidgetItem *item = m_table->topLevelItem(row);
    return item ? qobject_cast<QPushButton *>(m_table->itemWidget(item, Open)) : nullptr;
}

void FormDownloads::showAll()
{
    m_dirty.clear();
    m_table->clear();
    for (int row = 0; row < m_list.rows().size(); ++row)
        addRow(row);
}

void FormDownloads::addRow(int row)
{
    auto *item = new QTreeWidgetItem(m_table);
    item->setText(Name, m_list.rows()[row].name());
    item->setToolTip(Name, m_list.rows()[row].path);
    auto *button = new QPushButton(QStringLiteral("取消"), m_table);
    m_table->setItemWidget(item, Action, button);
    connect(button, &QPushButton::clicked, this, [this, row, item] {
        if (row >= m_list.rows().size())
            return;
        const DownloadList::Row &r = m_list.rows()[row];
        const QString folder = QFileInfo(r.path).absolutePath();
        // No program to show folders with: said in the row, where the user looks.
        if (r.fileThere()) {
            if (!m_shell.open(folder))
                setState(item, QStringLiteral("无法打开文件夹 %1：没有可以显示文件夹的程序").arg(folder));
        } else if (r.download && r.download->resumable()) {
            m_list.resume(row);
        } else if (r.download && r.download->state() != Transfer::State::Done) {
            r.download->cancel();
        }
    });
    updateRow(row);
}

void FormDownloads::updateRow(int row)
{
    QTreeWidgetItem *item = m_table->topLevelItem(row);
    if (!item || row >= m_list.rows().size())
        return;
    const DownloadList::Row &r = m_list.rows()[row];
    QPushButton *action = button(row);
    // 打开 only while there is a finished file to open.
    if (r.fileThere() && !openButton(row)) {
        auto *open = new QPushButton(QStringLiteral("打开"), m_table);
        m_table->setItemWidget(item, Open, open);
        connect(open, &QPushButton::clicked, this, [this, row, item] {
            const QString path = m_list.rows().value(row).path;
            if (!m_shell.open(path))
                setState(item, QStringLiteral("无法打开 %1：没有可以打开它的程序").arg(QFileInfo(path).fileName()));
        });
    } else if (!r.fileThere() && openButton(row)) {
        m_table->removeItemWidget(item, Open);
    }
    if (!r.download) {
        // A row an earlier run kept.
        const KeptDownload &k = r.kept;
        item->setText(Progress, k.total > 0 ? QStringLiteral("%1 / %2").arg(DownloadList::size(k.size), DownloadList::size(k.total))
                                            : DownloadList::size(k.size));
        const QString ended = k.end == KeptDownload::End::Done        ? QStringLiteral("已完成")
                              : k.end == KeptDownload::End::Cancelled ? QStringLiteral("已取消")
                                                                      : QStringLiteral("失败：") + k.failure;
        setState(item, QStringLiteral("%1（%2）").arg(ended, QLocale().toString(k.when, QStringLiteral("MM-dd HH:mm"))));
        action->setText(QStringLiteral("打开文件夹"));
        action->setEnabled(r.fileThere());
        return;
    }
    const Transfer &d = *r.download;
    const qint64 got = d.received();
    const QString waiting = QStringLiteral("等待您在网页上方回答是否允许");
    item->setText(Progress, d.total() > 0 ? QStringLiteral("%1 / %2").arg(DownloadList::size(got), DownloadList::size(d.total()))
                                          : DownloadList::size(got));
    const double seconds = qMax<qint64>(1, r.since.elapsed()) / 1000.0;
    const double rate = got / seconds;
    switch (d.state()) {
    case Transfer::State::Running:
        action->setText(QStringLiteral("取消"));
        action->setEnabled(true);
        item->setText(Speed, DownloadList::size(qint64(rate)) + QStringLiteral("/秒"));
        item->setText(Left, d.total() > 0 && rate > 0 ? QStringLiteral("%1 秒").arg(qCeil((d.total() - got) / rate)) : QString());
        setState(item, d.held() ? waiting : QStringLiteral("正在下载"));
        break;
    case Transfer::State::Done:
        item->setText(Speed, QString());
        item->setText(Name, r.name());
        item->setToolTip(Name, r.path);
        item->setText(Left, QString());
        if (d.held())
            setState(item, QStringLiteral("已下载，") + waiting);
        else
            setState(item, d.displacedFrom().isEmpty() ? QStringLiteral("已完成") : QStringLiteral("已完成，另存为“%1”").arg(r.name()));
        action->setText(QStringLiteral("打开文件夹"));
        break;
    case Transfer::State::Cancelled:
        item->setText(Speed, QString());
        item->setText(Left, QString());
        setState(item, QStringLiteral("已取消"));
        action->setEnabled(false);
        break;
    case Transfer::State::Failed:
        item->setText(Speed, QString());
        item->setText(Left, QString());
        setState(item, QStringLiteral("失败：") + DownloadList::failureText(d));
        action->setText(QStringLiteral("继续"));
        action->setEnabled(d.resumable());
        break;
    case Transfer::State::Asking:
        break;
    }
}
