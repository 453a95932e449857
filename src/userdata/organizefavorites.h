#pragma once
#include <QDialog>

class Dialogs;
class Favorites;
class QListWidget;
class QPushButton;

// The organise dialog "整理收藏夹": every line of the favourites file; a click copies
// the entry's address, delete removes it from the list, save writes the list back in one
// atomic replace and emits saved(). Closing without saving changes nothing.
class OrganizeFavorites : public QDialog
{
    Q_OBJECT
public:
    OrganizeFavorites(const Favorites &favorites, Dialogs &dialogs, QWidget *parent = nullptr);

    QListWidget *List1() const { return m_list; }
    QPushButton *Command1() const { return m_delete; }
    QPushButton *Command2() const { return m_save; }
    // The address of the entry clicked last.
    QString copiedAddress() const { return m_address; }

signals:
    void saved();

private:
    void pick();
    void remove();
    void save();

    const Favorites &m_favorites;
    Dialogs &m_dialogs;
    QListWidget *m_list = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_save = nullptr;
    QString m_address;
};
