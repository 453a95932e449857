#include "page/printpreview.h"

#include "platform/dialogs.h"
#include "platform/wholeappend.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace PagePrint {

Printer::Printer() = default;
Printer::~Printer() = default;

QPrinter *Printer::get()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

bool toPrinter(const QByteArray &pdf, QPrinter *printer, const QPageRanges &only)
{
    if (pdf.isEmpty())
        return false;
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty() && only.isEmpty())
        return replaceWhole(printer->outputFileName(), pdf);
    QBuffer buffer;
    buffer.setData(pdf);
    buffer.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&buffer);
    if (document.status() != QPdfDocument::Status::Ready || document.pageCount() == 0)
        return false;
    // The engine's pages already carry the margins: they go onto the whole sheet.
    const bool wasFullPage = printer->fullPage();
    printer->setFullPage(true);
    QPainter painter;
    bool ok = painter.begin(printer);
    bool first = true;
    const int dpi = qMin(printer->resolution(), 300);
    for (int i = 0; ok && i < document.pageCount(); ++i) {
        if (!only.isEmpty() && !only.contains(i + 1))
            continue;
        if (!first)
            ok = printer->newPage();
        first = false;
        const QSizeF points = document.pagePointSize(i);
        const QImage image = document.render(i, (points * dpi / 72.0).toSize());
        const QRect sheet = printer->paperRect(QPrinter::DevicePixel).toRect();
        painter.drawImage(QRect(QPoint(0, 0), sheet.size()), image);
    }
    if (painter.isActive())
        ok = painter.end() && ok;
    printer->setFullPage(wasFullPage);
    return ok && !first;
}

} // namespace PagePrint

const QString PrintPreview::kCaption = QStringLiteral("打印预览");

PrintPreview::PrintPreview(Dialogs &dialogs, std::shared_ptr<PagePrint::Printer> printer, QWidget *parent)
    : QDialog(parent)
    , m_dialogs(dialogs)
    , m_printer(std::move(printer))
{
    setObjectName(QStringLiteral("PrintPreview"));
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(760, 860);

    m_document = new QPdfDocument(this);
    m_stack = new QStackedWidget(this);
    auto *waiting = new QWidget(m_stack);
    m_status = new QLabel(QStringLiteral("正在排版打印页面……"), waiting);
    m_progress = new QProgressBar(waiting);
    m_progress->setRange(0, 0); // the engine says nothing of its progress
    auto *wait = new QVBoxLayout(waiting);
    wait->addStretch();
    wait->addWidget(m_status, 0, Qt::AlignHCenter);
    wait->addWidget(m_progress);
    wait->addStretch();
    m_view = new QPdfView(m_stack);
    m_view->setPageMode(QPdfView::PageMode::MultiPage);
    m_view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    m_stack->addWidget(waiting);
    m_stack->addWidget(m_view);

    m_previous = new QPushButton(QStringLiteral("上一页"), this);
    m_next = new QPushButton(QStringLiteral("下一页"), this);
    m_pageLabel = new QLabel(this);
    m_print = new QPushButton(QStringLiteral("打印(&P)…"), this);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    for (QPushButton *b : {m_previous, m_next, m_print})
        b->setEnabled(false);
    connect(m_previous, &QPushButton::clicked, this, [this] { goTo(currentPage() - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { goTo(currentPage() + 1); });
    connect(m_print, &QPushButton::clicked, this, &PrintPreview::print);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_view->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this, &PrintPreview::showPageNumber);

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_previous);
    bar->addWidget(m_next);
    bar->addWidget(m_pageLabel);
    bar->addStretch();
    bar->addWidget(m_print);
    bar->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_stack, 1);
}

PrintPreview::~PrintPreview()
{
    // The view lets go of the document before its bytes go.
    m_view->setDocument(nullptr);
    m_document->close();
}

void PrintPreview::showPdf(const QByteArray &pdf)
{
    m_pdf = pdf;
    m_buffer = std::make_unique<QBuffer>();
    m_buffer->setData(m_pdf);
    m_buffer->open(QIODevice::ReadOnly);
    m_document->load(m_buffer.get());
    if (pdf.isEmpty() || m_document->status() != QPdfDocument::Status::Ready) {
        m_progress->hide();
        m_status->setText(QStringLiteral("无法生成打印预览：此网页不能排版打印。"));
        return;
    }
    m_view->setDocument(m_document);
    m_stack->setCurrentWidget(m_view);
    m_print->setEnabled(true);
    showPageNumber();
}

bool PrintPreview::ready() const
{
    return m_stack->currentWidget() == m_view;
}

int PrintPreview::currentPage() const
{
    return m_view->pageNavigator()->currentPage();
}

void PrintPreview::goTo(int page)
{
    if (page < 0 || page >= m_document->pageCount())
        return;
    m_view->pageNavigator()->jump(page, QPointF(), m_view->pageNavigator()->currentZoom());
    showPageNumber();
}

void PrintPreview::showPageNumber()
{
    const int count = m_document->pageCount();
    const int page = currentPage();
    m_pageLabel->setText(count > 0 ? QStringLiteral("第 %1 / %2 页").arg(page + 1).arg(count) : QString());
    m_previous->setEnabled(page > 0);
    m_next->setEnabled(page + 1 < count);
}

void PrintPreview::print()
{
    QPrinter *printer = m_printer->get();
    if (!m_dialogs.choosePrinter(this, printer))
        return;
    if (!PagePrint::toPrinter(m_pdf, printer, printer->pageRanges()))
        m_dialogs.warning(this, kCaption, QStringLiteral("无法打印：打印机没有接受这些页面。"));
}
