#pragma once
#include <QDialog>

class Dialogs;
class Favorites;
class QLineEdit;
class QPushButton;

// The add dialog "添加到收藏夹": the page's title and address, a button that makes a
// category folder under Favorites/, and OK, which appends the favourite to the file.
// Emits added() after a favourite was stored, so the menu is rebuilt.
class FavoritesDialog : public QDialog
{
    Q_OBJECT
public:
    FavoritesDialog(const Favorites &favorites, const QString &folder, Dialogs &dialogs, const QString &title,
                    const QString &address, QWidget *parent = nullptr);

    QLineEdit *txtTitle() const { return m_title; }
    QLineEdit *txtUrl() const { return m_url; }
    QPushButton *Command1() const { return m_newFolder; }
    QPushButton *cmdOK() const { return m_ok; }

    // A category name that stays inside the favourites folder.
    static bool validFolderName(const QString &name);

signals:
    void added();

private:
    void ok();
    void newFolder();

    const Favorites &m_favorites;
    QString m_folder;
    Dialogs &m_dialogs;
    QLineEdit *m_title = nullptr;
    QLineEdit *m_url = nullptr;
    QPushButton *m_newFolder = nullptr;
    QPushButton *m_ok = nullptr;
};
