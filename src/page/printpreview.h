#pragma once
#include <QByteArray>
#include <QDialog>
#include <QPageRanges>
#include <memory>

class Dialogs;
class QLabel;
class QPdfDocument;
class QPdfView;
class QPrinter;
class QProgressBar;
class QPushButton;
class QStackedWidget;

// Printing a page: the engine lays the page out for print as PDF; the printer the user
// set up (made on first use, since asking the system for printers takes time) is kept
// for every later page setup, print and preview.
namespace PagePrint {

// Sends the engine's PDF to the printer: to a PDF file as it is (its text stays text),
// to a printer page by page at up to 300 dots an inch. only: the pages to print (empty:
// all). False when nothing could be printed.
bool toPrinter(const QByteArray &pdf, QPrinter *printer, const QPageRanges &only = {});

class Printer
{
public:
    Printer();
    ~Printer();
    QPrinter *get();

private:
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace PagePrint

// The print preview "打印预览": opens at once with a progress bar while the engine lays
// the page out, then shows the pages (drawn as they come into sight), with previous and
// next, the page number, and printing from the preview. Closing it cancels.
class PrintPreview : public QDialog
{
    Q_OBJECT
public:
    static const QString kCaption;
    PrintPreview(Dialogs &dialogs, std::shared_ptr<PagePrint::Printer> printer, QWidget *parent = nullptr);
    ~PrintPreview() override;

    // The engine's PDF arrived (empty: the page could not be laid out).
    void showPdf(const QByteArray &pdf);
    bool ready() const;
    QPdfDocument *document() const { return m_document; }
    QPdfView *view() const { return m_view; }
    QPushButton *printButton() const { return m_print; }
    QPushButton *nextButton() const { return m_next; }
    QPushButton *previousButton() const { return m_previous; }
    QLabel *pageLabel() const { return m_pageLabel; }
    int currentPage() const;

private:
    void goTo(int page);
    void print();
    void showPageNumber();

    Dialogs &m_dialogs;
    std::shared_ptr<PagePrint::Printer> m_printer;
    QByteArray m_pdf;
    std::unique_ptr<class QBuffer> m_buffer;
    QPdfDocument *m_document = nullptr;
    QStackedWidget *m_stack = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;
    QPdfView *m_view = nullptr;
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_print = nullptr;
    QLabel *m_pageLabel = nullptr;
};
