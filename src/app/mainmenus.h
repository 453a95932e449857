#pragma once
#include <QHash>
#include <QString>
#include <QVector>

class QAction;
class QMainWindow;
class QMenu;
namespace SiteTables { struct Item; }

// The main window's menu bar, the hidden tab context menu and the closed-pages items,
// built from one table in their final order. Every item carries its control name as
// objectName; control arrays (ScreenRun, BigP, LiHistory) share a name and carry their
// index in the "index" property.
class MainMenus
{
public:
    explicit MainMenus(QMainWindow *window);

    QAction *action(const QString &name) const { return m_actions.value(name, nullptr); }
    QAction *action(const QString &name, int index) const;
    QMenu *menu(const QString &name) const { return m_menus.value(name, nullptr); }
    QVector<QAction *> liHistory() const { return m_liHistory; }

private:
    // Site items carry their address (or search prefix) as data.
    void addTable(QMenu *menu, const QVector<SiteTables::Item> &items);
    QMenu *addMenu(QMainWindow *window, const char *name, const char *title, bool inBar);
    QAction *addItem(QMenu *menu, const char *name, const char *caption, const char *keys = nullptr,
                     int index = -1);

    QHash<QString, QAction *> m_actions;
    QHash<QString, QMenu *> m_menus;
    QVector<QAction *> m_liHistory;
};
