#pragma once
#include <QSet>
#include <QTimer>
#include <QWidget>

class DownloadList;
class Shell;
class QPushButton;
class QTreeWidget;

// The downloads window "下载": one row a transfer with its name, bytes so far of the
// whole, speed and time left (when it ended, once it did), 打开 for a finished file that
// is still there, and a button to cancel it, to go on with it (继续) when its connection
// broke, or to open its folder once done; 清除列表 under them.
class FormDownloads : public QWidget
{
    Q_OBJECT
public:
    FormDownloads(DownloadList &list, Shell &shell, QWidget *parent = nullptr);

    QTreeWidget *table() const { return m_table; }
    // The row's progress text, as shown ("1.0 MB / 2.0 MB").
    QString progressText(int row) const;
    // How the row stands (正在下载, 已完成, 失败：…); a kept row adds when it ended.
    QString stateText(int row) const;
    // The button of a row ("取消" while running, "继续" when its connection broke,
    // "打开文件夹" when done).
    QPushButton *button(int row) const;
    // The row's 打开 (none unless its finished file is there).
    QPushButton *openButton(int row) const;
    QPushButton *clearButton() const { return m_clear; }

private:
    void addRow(int row);
    void updateRow(int row);
    void showAll();

    DownloadList &m_list;
    Shell &m_shell;
    QTreeWidget *m_table;
    QPushButton *m_clear;
    QTimer m_refresh;
    QSet<int> m_dirty;
};
