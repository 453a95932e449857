#include "page/findbar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QShortcut>
#include <QToolButton>


FindBar::FindBar(Find find, QString &lastWord, QWidget *parent)
    : QWidget(parent)
    , m_find(std::move(find))
    , m_lastWord(lastWord)
    , m_word(new QLineEdit(this))
    , m_case(new QCheckBox(QStringLiteral("区分大小写"), this))
    , m_count(new QLabel(this))
{
    setObjectName(QStringLiteral("FindBar"));
    setAutoFillBackground(true);
    m_word->setObjectName(QStringLiteral("FindText"));
    m_word->setPlaceholderText(QStringLiteral("查找"));
    m_word->installEventFilter(this);
    auto *previous = new QToolButton(this);
    previous->setText(QStringLiteral("上一个"));
    auto *following = new QToolButton(this);
    following->setText(QStringLiteral("下一个"));
    auto *shut = new QToolButton(this);
    shut->setText(QStringLiteral("×"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    for (QWidget *w : std::initializer_list<QWidget *>{m_word, previous, following, m_case, m_count, shut})
        row->addWidget(w);
    connect(m_word, &QLineEdit::textEdited, this, [this] { next(); });
    // The engine goes on with its last search while the word stays the same: a change of
    // case starts it over.
    connect(m_case, &QCheckBox::toggled, this, [this] {
        m_find(QString(), false, false, [](int, int) {});
        next();
    });
    connect(previous, &QToolButton::clicked, this, [this] { next(true); });
    connect(following, &QToolButton::clicked, this, [this] { next(); });
    connect(shut, &QToolButton::clicked, this, &FindBar::close);
    // Escape closes it from any of its parts (its buttons, the case box), not only the word.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &FindBar::close);
    hide();
}

QString FindBar::count() const
{
    return m_count->text();
}

void FindBar::open()
{
    if (m_word->text().isEmpty())
        m_word->setText(m_lastWord);
    show();
    raise();
    m_word->setFocus();
    m_word->selectAll();
    if (!m_word->text().isEmpty())
        next();
}

void FindBar::next(bool backward)
{
    m_lastWord = m_word->text();
    // A long page takes the engine a while to count through.
    if (!m_word->text().isEmpty())
        m_count->setText(QStringLiteral("查找中…"));
    QPointer<FindBar> self(this);
    m_find(m_word->text(), backward, m_case->isChecked(), [self](int active, int total) {
        if (self)
            self->m_count->setText(total > 0 ? QStringLiteral("%1/%2").arg(active).arg(total)
                                             : (self->m_word->text().isEmpty() ? QString() : QStringLiteral("0/0")));
    });
}

void FindBar::close()
{
    // The highlights go with the bar; the word stays for next time.
    m_find(QString(), false, false, [](int, int) {});
    m_count->clear();
    hide();
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_word && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            next(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
