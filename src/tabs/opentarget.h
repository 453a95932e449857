#pragma once

// Where a new page opens, for every caller that opens one: typed addresses, menus and
// toolbar, pop-ups, and the lists (favourites, history, gallery) as they come.
struct OpenTarget {
    enum Placement { Foreground, Background };
    Placement placement = Foreground;
    // Asked for by the user (typed, clicked) rather than by a page's script.
    bool userInitiated = true;

    // A new tab as the "open in background" switch places it.
    static OpenTarget newTab(bool backgroundSwitch, bool userInitiated = true)
    {
        return {backgroundSwitch ? Background : Foreground, userInitiated};
    }
    static OpenTarget foreground() { return {Foreground, true}; }
    bool background() const { return placement == Background; }
};
