#pragma once
#include <QObject>
#include <QString>

struct PageSecurity;
class QComboBox;
class QKeyEvent;
class QLabel;
class QToolButton;
class QWidget;

// The address row: the address box TextUrl with its label and go button CmdGo, and the
// search box CombSearch with its button CmdSearch. Turns the user's typing into go and
// search requests; the page stack decides where they open.
class AddressRow : public QObject
{
    Q_OBJECT
public:
    explicit AddressRow(QWidget *pict);

    QComboBox *textUrl() const { return m_textUrl; }
    QComboBox *combSearch() const { return m_combSearch; }

    // Shows a page's location as the address box shows it (activation, a new tab).
    void setAddress(const QString &location);
    // The active page's location changed: shown unless the user is typing an address,
    // which is never overwritten; the next activation, Go or Escape shows it again.
    void showPageAddress(const QString &location);
    // The user changed the address text since it was last set, and is in the box.
    bool userEditing() const;
    QString addressText() const;
    QString searchWord() const;
    void setSearchWord(const QString &word);
    // A closed page's record joins the address box's list.
    void addRecord(const QString &record);
    // Empties a box's list; the text the box shows stays.
    void clearAddressList();
    void clearSearchList();
    // The user is typing in the address or search box.
    bool hasTyping() const;
    // Keyboard was taken out of the page for one of the boxes, until the page has it again.
    bool webFocus() const { return m_webFocus; }
    void clearWebFocus() { m_webFocus = false; }

    // Widths and places for a client width (twips).
    void fit(int clientWidthTwips);

    // The mark beside the address: a lock, "不安全" in grey or in red, or none.
    void showSecurity(const PageSecurity &security);
    QLabel *securityMark() const { return m_security; }

signals:
    // The address to open in the current page (words already turned into a search).
    void goRequested(const QString &address);
    // A word from the search box, already added to its list.
    void searchRequested(const QString &word);
    void searchMenuRequested();
    // A box is about to take the keyboard from the page.
    void keyboardTaken();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A key the window's menus have a shortcut for: the menu wins over the box.
    bool windowClaims(const QKeyEvent *key) const;
    void go();
    void search();

    QLabel *m_label1 = nullptr;
    QLabel *m_security = nullptr;
    QComboBox *m_textUrl = nullptr;
    QToolButton *m_cmdGo = nullptr;
    QComboBox *m_combSearch = nullptr;
    QToolButton *m_cmdSearch = nullptr;
    bool m_webFocus = false;
    bool m_userEdited = false;
    QString m_pageAddress;
};
