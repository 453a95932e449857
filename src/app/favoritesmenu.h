#pragma once
#include <QList>
#include <QObject>

#include "userdata/favorites.h"

class QAction;
class QMenu;

// The favourites at the end of the favourites menu: items MyFavorites 0..100, rebuilt
// from the file at start-up and after every change. A rebuild removes every item it made
// before, so no deleted favourite lingers. Choosing one emits chosen(address).
class FavoritesMenu : public QObject
{
    Q_OBJECT
public:
    FavoritesMenu(QMenu *menu, const Favorites &favorites);

    // AddFavor and ReloadFavor: the menu from the file as it is now.
    void rebuild();
    QList<QAction *> items() const { return m_items; }

signals:
    void chosen(const QString &address);

private:
    QMenu *m_menu;
    const Favorites &m_favorites;
    QList<QAction *> m_items;
};
