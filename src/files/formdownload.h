#pragma once
#include <QDialog>
#include <functional>

class Dialogs;
class QComboBox;
class QLineEdit;

// "下载网络文件": an address typed or picked up from the clipboard is handed to the
// browser's downloads (which ask where to save it, proposing this dialog's folder and
// name). Always on top; the list of addresses lives as long as the dialog.
class FormDownload : public QDialog
{
    Q_OBJECT
public:
    using Start = std::function<void(const QString &address, const QString &folder, const QString &name)>;
    FormDownload(Dialogs &dialogs, const QString &folder, Start start, QWidget *parent = nullptr);

    QComboBox *CombUrl() const { return m_url; }
    QLineEdit *Text1() const { return m_folder; }
    QLineEdit *Text2() const { return m_name; }
    // "下载(&D)": an address of 14 characters or fewer is refused without a word.
    void download();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addressChanged(const QString &text);

    Dialogs &m_dialogs;
    Start m_start;
    QComboBox *m_url;
    QLineEdit *m_folder;
    QLineEdit *m_name;
};
