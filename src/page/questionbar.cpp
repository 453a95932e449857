#include "page/questionbar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

QuestionBar::QuestionBar(QWidget *page)
    : QFrame(page)
    , m_text(new QLabel(this))
    , m_yes(new QPushButton(this))
    , m_no(new QPushButton(this))
{
    setObjectName(QStringLiteral("QuestionBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(255, 248, 200));
    setPalette(palette);
    // A page's text is shown as text, never as markup.
    m_text->setTextFormat(Qt::PlainText);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 3, 8, 3);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_yes);
    layout->addWidget(m_no);
    connect(m_yes, &QPushButton::clicked, this, [this] { answer(true); });
    connect(m_no, &QPushButton::clicked, this, [this] { answer(false); });
    hide();
}

void QuestionBar::ask(const QString &text, const QString &yes, const QString &no, Answer answer)
{
    m_waiting.push_back(std::move(answer));
    if (m_waiting.size() > 1)
        return;
    m_text->setText(text);
    m_yes->setText(yes);
    m_no->setText(no);
    show();
    raise();
}

void QuestionBar::dismiss()
{
    if (asking())
        answer(false);
}

void QuestionBar::place(int width)
{
    setGeometry(0, 0, width, sizeHint().height());
}

QString QuestionBar::text() const
{
    return m_text->text();
}

void QuestionBar::answer(bool yes)
{
    hide();
    // An answer may ask again: the waiting list is taken first.
    std::vector<Answer> waiting;
    waiting.swap(m_waiting);
    for (const Answer &a : waiting)
        a(yes);
}
