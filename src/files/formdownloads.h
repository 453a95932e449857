#pragma once
#include <QSet>
#include <QTimer>
#include <QWidget>

class DownloadList;
class Shell;
class QTreeWidget;

// The downloads window "下载": one row a transfer with its name, bytes so far of the
// whole, speed and time left, and a button to cancel it, or to open its folder once done.
class FormDownloads : public QWidget
{
    Q_OBJECT
public:
    FormDownloads(DownloadList &list, Shell &shell, QWidget *parent = nullptr);

    QTreeWidget *table() const { return m_table; }
    // The row's progress text, as shown ("1.0 MB / 2.0 MB").
    QString progressText(int row) const;
    // The button of a row ("取消" while running, "打开文件夹" when done).
    class QPushButton *button(int row) const;

private:
    void addRow(int row);
    void updateRow(int row);

    DownloadList &m_list;
    Shell &m_shell;
    QTreeWidget *m_table;
    QTimer m_refresh;
    QSet<int> m_dirty;
};
