#pragma once
#include <QString>
#include <QStringList>

#include "tabs/opentarget.h"

// Where new pages open, and when they are refused. A blank tab always comes to the front
// (it is for typing into); a list opens its first address as asked and the rest behind
// it, in the order given, as many as fit; a full strip opens nothing and says why.
namespace OpenPolicy {

// What a tab opened for address loads (the start page goes marked).
QString location(const QString &address);
bool opensBehind(const QString &location, const OpenTarget &target);
// The status line when every tab is in use.
QString refusal(int capacity);
// The addresses after the first that fit in room tabs, in the order to open them: each
// opens right after the active tab, so they go from the last.
QStringList restInOpeningOrder(const QStringList &addresses, int room);

} // namespace OpenPolicy
