#pragma once
#include <QObject>
#include <QPageLayout>
#include <QPageRanges>
#include <QString>
#include <functional>

class PageControl;
struct PageFacts;

// The page's document as files and facts: its markup, its selection's, its text, the page
// saved whole, a download through it, its properties and its print layout. Answers come on
// the page's script round trip and are dropped once the page is gone.
class PageDocument : public QObject
{
    Q_OBJECT
public:
    // title gives the document's own title at the moment it is asked.
    PageDocument(PageControl &web, std::function<QString()> title, QObject *parent);

    // "" when the page has no document.
    void documentSource(std::function<void(const QString &)> take);
    void selectionSource(std::function<void(const QString &)> take);
    void documentText(std::function<void(const QString &)> take);
    // As one MHTML file, or complete (the page and a folder of its parts).
    void savePage(const QString &path, bool complete, std::function<void(bool ok)> done);
    // The document is a PDF the engine's viewer shows (known once it is loaded).
    bool showsPdf() const { return m_type == QLatin1String("application/pdf"); }
    // Its own bytes, as the server sent them.
    void savePdf(const QString &path, std::function<void(bool ok)> done);
    void download(const QString &address);
    // What the browser knows of the document.
    void pageFacts(std::function<void(const PageFacts &)> take);
    // The page laid out for print by the engine, as PDF (empty when it could not be).
    // done runs while context lives, also when this page closed meanwhile.
    void printDocument(const QPageLayout &layout, const QPageRanges &ranges, QObject *context,
                       std::function<void(const QByteArray &pdf)> done);

private:
    PageControl &m_web;
    std::function<QString()> m_title;
    // The loaded document's type ("text/html", "application/pdf" ...).
    QString m_type;
};
