#pragma once
#include <QString>
#include <QVector>
#include <QWidget>

class PageControl;
class Dialogs;
class PictureList;
class QComboBox;
class QPushButton;
class PageEngine;
class Shell;

// "图片详情": one picture at a time in a browser of its own, with save, address,
// previous and next over the last gallery's picture list (wrapping around), and zoom.
// One viewer serves later gallery clicks too. Its generated page lives in the user's
// private folder and goes when the viewer closes.
class FormImage : public QWidget
{
    Q_OBJECT
public:
    FormImage(PageEngine &engine, const PictureList &list, Dialogs &dialogs, Shell &shell,
              QWidget *parent = nullptr);
    ~FormImage() override;

    // Shows that picture.
    void LoadImg(const QString &address);
    // Zoom of the shown page, in percent.
    void ZOOMIE(int percent);

    PageControl *Web() const { return m_web; }
    QPushButton *Cmd(int index) const { return m_cmd.value(index); }
    QString pageFile() const { return m_pageFile; }
    QString address() const { return m_address; }
    int position() const { return m_position; }
    int zoom() const { return m_zoom; }

    static const QString kCaption; // "图片详情"

signals:
    // A picture has been shown (its page loaded).
    void shown(const QString &address);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void step(int by);
    void save();
    void showAddress();

    const PictureList &m_list;
    Dialogs &m_dialogs;
    Shell &m_shell;
    PageControl *m_web = nullptr;
    QVector<QPushButton *> m_cmd;
    QComboBox *m_cmb = nullptr;
    QString m_pageFile;
    QString m_address;
    int m_position = 1;
    int m_zoom = 100;
};
