#pragma once
#include <QObject>
#include <QString>

#include "engine/editcommand.h"

class FindBar;
class PageControl;
class SelectionBar;
class QWidget;

// The commands a reader gives a page: editing, zoom, edit mode, the find bar over it and
// the selection bar beside its selected text.
class PageCommands : public QObject
{
    Q_OBJECT
public:
    // page holds the bars; findWord is the word last looked for in any page.
    PageCommands(PageControl &web, QWidget *page, QString &findWord);

    using Edit = EditCommand;
    void edit(Edit command);
    // Zooms the document's body to percent (ZOOMIE).
    void ZOOMIE(int percent);
    // One zoom step in or out from BigSize; false (nothing changed) at the bound.
    bool zoomStep(bool in);
    // The zoom in percent the page's zoom steps start from.
    int BigSize() const { return m_bigSize; }
    void setBigSize(int percent) { m_bigSize = percent; }
    // The page takes typing into its text (edit mode), or is read only again.
    void setEditable(bool editable);
    // The find bar over the page (made on first use).
    FindBar *showFind();
    // A search made while the page was still loading found nothing yet: the bar searches
    // the finished page again.
    void documentLoaded();
    // Hands the page's selected text to the search box and, when there is some, shows
    // the selection bar at (x, y) of the page (in twips).
    void zhan(int xTwips, int yTwips);
    void hideSelectionBar();
    SelectionBar *PictMouse() const { return m_pictMouse; }
    // The bars follow the page's size.
    void layout(int width);

signals:
    // The zoom the document in front now has (100 for a new document).
    void zoomShown(int percent);
    // Text the selection bar hands to the search box.
    void selectionForSearch(const QString &text);
    // The selection bar's search: the address to open in a new page.
    void searchInNewPage(const QString &address);

private:
    PageControl &m_web;
    QWidget *m_page;
    QString &m_findWord;
    FindBar *m_find = nullptr;
    SelectionBar *m_pictMouse = nullptr;
    int m_bigSize = 100;
};
