#include "app/addressrow.h"

#include "page/pagesecurity.h"
#include "platform/inputhook.h"
#include "tabs/closedpages.h"
#include "tabs/sites.h"
#include "tabs/stripgeometry.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QRawFont>
#include <QToolButton>

using StripGeometry::toPixels;

namespace {

const char *const kSearchWords[] = {
    "香山", "风景", "竹林", "枫叶", "红枫", "椰树", "城市夜景", "日出", "日落", "风景艺术",
    "美丽夕阳", "艺术壁纸", "梦幻风景", "风光壁纸", "海洋风光", "湖光山色", "海底世界", "海天一色",
    "浩瀚星空", "神秘宇宙", "海洋风光", "油画风景", "梦幻仙境", "3d风景", "黄昏", "瀑布", "夜色",
};

bool isEditingKey(const QKeyEvent *e)
{
    static const QKeySequence::StandardKey keys[] = {
        QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::SelectAll,
        QKeySequence::Delete, QKeySequence::Backspace, QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfWord, QKeySequence::MoveToPreviousWord, QKeySequence::MoveToNextWord,
        QKeySequence::SelectPreviousWord, QKeySequence::SelectNextWord, QKeySequence::SelectStartOfLine,
        QKeySequence::SelectEndOfLine, QKeySequence::MoveToStartOfLine, QKeySequence::MoveToEndOfLine,
    };
    for (const QKeySequence::StandardKey k : keys)
        if (e->matches(k))
            return true;
    return e->key() == Qt::Key_Delete || e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Insert;
}

// SimSun where the system has it. Where it does not, its Chinese comes from the face the
// rest of the window draws Chinese with: a serif request would otherwise load a second
// Chinese face (2.5 MB) for this one label.
QFont labelFont()
{
    const QString simSun = QStringLiteral("SimSun");
    QFont font(simSun);
    const QString chinese = QRawFont::fromFont(QApplication::font(), QFontDatabase::SimplifiedChinese).familyName();
    if (!chinese.isEmpty() && chinese != simSun)
        font.setFamilies({simSun, chinese});
    return font;
}

bool within(const QWidget *box, const QWidget *w)
{
    return w && (w == box || box->isAncestorOf(w));
}

} // namespace

AddressRow::AddressRow(QWidget *pict)
    : QObject(pict)
{
    m_label1 = new QLabel(QStringLiteral("网址(&D)"), pict);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setFont(labelFont());
    m_label1->setGeometry(toPixels(75), toPixels(720), toPixels(700), toPixels(270));

    QFont bold(QStringLiteral("SimHei"));
    bold.setBold(true);
    m_textUrl = new QComboBox(pict);
    m_textUrl->setObjectName(QStringLiteral("TextUrl"));
    m_textUrl->setEditable(true);
    m_textUrl->setInsertPolicy(QComboBox::NoInsert);
    m_textUrl->setFont(bold);
    m_textUrl->setMaxVisibleItems(500 / qMax(1, m_textUrl->fontMetrics().height() + 4));
    m_textUrl->setGeometry(toPixels(810), toPixels(690), toPixels(7575), toPixels(300));
    m_label1->setBuddy(m_textUrl);

    m_cmdGo = new QToolButton(pict);
    m_cmdGo->setObjectName(QStringLiteral("CmdGo"));
    m_cmdGo->setToolTip(QStringLiteral("转到"));
    m_cmdGo->setText(QStringLiteral("→"));
    m_cmdGo->setFont(bold);
    m_cmdGo->setGeometry(toPixels(8505), toPixels(705), toPixels(330), toPixels(270));

    m_combSearch = new QComboBox(pict);
    m_combSearch->setObjectName(QStringLiteral("CombSearch"));
    m_combSearch->setEditable(true);
    m_combSearch->setInsertPolicy(QComboBox::NoInsert);
    for (const char *word : kSearchWords)
        m_combSearch->addItem(QString::fromUtf8(word));
    m_combSearch->setEditText(QString());
    m_combSearch->setGeometry(toPixels(9075), toPixels(690), toPixels(2985), toPixels(300));

    m_cmdSearch = new QToolButton(pict);
    m_cmdSearch->setObjectName(QStringLiteral("CmdSearch"));
    m_cmdSearch->setText(QStringLiteral("搜索(&S)"));
    m_cmdSearch->setGeometry(toPixels(12210), toPixels(690), toPixels(1100), toPixels(300));

    // Whatever puts "about:blank" into the box, the user sees the start of an address.
    connect(m_textUrl, &QComboBox::editTextChanged, this, [this](const QString &t) {
        if (t == QLatin1String("about:blank"))
            setAddress(t);
    });
    connect(m_textUrl->lineEdit(), &QLineEdit::returnPressed, this, &AddressRow::go);
    connect(m_textUrl->lineEdit(), &QLineEdit::textEdited, this, [this] { m_userEdited = true; });
    connect(m_textUrl, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        m_textUrl->setEditText(ClosedPages::listChoice(m_textUrl->itemText(index)));
        go();
    });
    connect(m_cmdGo, &QToolButton::clicked, this, &AddressRow::go);
    connect(m_combSearch->lineEdit(), &QLineEdit::returnPressed, this, &AddressRow::search);
    connect(m_cmdSearch, &QToolButton::clicked, this, &AddressRow::searchMenuRequested);
    m_textUrl->installEventFilter(this);
    m_combSearch->installEventFilter(this);
    m_textUrl->lineEdit()->installEventFilter(this);
    m_combSearch->lineEdit()->installEventFilter(this);
    InputHook::HookComboBox(m_textUrl);

    // Inside the box, before the address, as other browsers show it.
    m_security = new QLabel(m_textUrl->lineEdit());
    m_security->setObjectName(QStringLiteral("Security"));
    m_security->setTextFormat(Qt::PlainText);
    m_security->hide();
}

namespace {
// A closed padlock, drawn so it needs no font or picture file.
QPixmap lockPicture(int height)
{
    QPixmap picture(height, height);
    picture.fill(Qt::transparent);
    QPainter paint(&picture);
    paint.setRenderHint(QPainter::Antialiasing);
    const QColor colour(0x40, 0x40, 0x40);
    paint.setPen(QPen(colour, qMax(1.5, height / 9.0)));
    const qreal w = height * 0.62, left = (height - w) / 2, bodyTop = height * 0.45;
    paint.drawArc(QRectF(left + w * 0.18, height * 0.1, w * 0.64, height * 0.6), 0, 180 * 16);
    paint.drawLine(QPointF(left + w * 0.18, height * 0.4), QPointF(left + w * 0.18, bodyTop));
    paint.drawLine(QPointF(left + w * 0.82, height * 0.4), QPointF(left + w * 0.82, bodyTop));
    paint.setPen(Qt::NoPen);
    paint.setBrush(colour);
    paint.drawRoundedRect(QRectF(left, bodyTop, w, height * 0.45), 1.5, 1.5);
    return picture;
}
} // namespace

void AddressRow::showSecurity(const PageSecurity &security)
{
    QLineEdit *edit = m_textUrl->lineEdit();
    m_security->setToolTip(security.detail);
    m_security->setPixmap(QPixmap());
    m_security->clear();
    switch (security.kind) {
    case PageSecurity::Kind::None:
        m_security->hide();
        edit->setTextMargins(0, 0, 0, 0);
        return;
    case PageSecurity::Kind::Verified:
        m_security->setPixmap(lockPicture(qMax(10, edit->height() - 8)));
        break;
    case PageSecurity::Kind::Plain:
    case PageSecurity::Kind::Overridden:
        m_security->setText(QStringLiteral("不安全"));
        m_security->setStyleSheet(security.kind == PageSecurity::Kind::Plain ? QStringLiteral("color: #707070;")
                                                                             : QStringLiteral("color: #d00000; font-weight: bold;"));
        break;
    }
    m_security->adjustSize();
    m_security->move(2, qMax(0, (edit->height() - m_security->height()) / 2));
    m_security->show();
    edit->setTextMargins(m_security->width() + 4, 0, 0, 0);
}

void AddressRow::setAddress(const QString &location)
{
    m_pageAddress = location;
    m_userEdited = false;
    m_textUrl->setEditText(Sites::shownAddress(location));
}

void AddressRow::showPageAddress(const QString &location)
{
    if (userEditing())
        m_pageAddress = location;
    else
        setAddress(location);
}

bool AddressRow::userEditing() const
{
    return m_userEdited && within(m_textUrl, QApplication::focusWidget());
}

QString AddressRow::addressText() const { return m_textUrl->currentText(); }
QString AddressRow::searchWord() const { return m_combSearch->currentText(); }
void AddressRow::setSearchWord(const QString &word) { m_combSearch->setEditText(word); }
namespace {
void clearList(QComboBox *box)
{
    const QString shown = box->currentText();
    box->clear();
    box->setEditText(shown);
}
} // namespace

void AddressRow::clearAddressList() { clearList(m_textUrl); }
void AddressRow::clearSearchList() { clearList(m_combSearch); }

void AddressRow::addRecord(const QString &record)
{
    // The list grows; the box keeps the text it shows (the first item of an empty list
    // would otherwise become it).
    const QString shown = m_textUrl->currentText();
    m_textUrl->addItem(record);
    if (m_textUrl->currentText() != shown)
        m_textUrl->setEditText(shown);
}

bool AddressRow::hasTyping() const
{
    const QWidget *f = QApplication::focusWidget();
    return within(m_textUrl, f) || within(m_combSearch, f);
}

void AddressRow::fit(int clientWidthTwips)
{
    const StripGeometry::AddressRow row = StripGeometry::addressRow(clientWidthTwips);
    m_textUrl->resize(toPixels(row.textUrlWidth), m_textUrl->height());
    m_cmdGo->move(toPixels(row.cmdGoLeft), m_cmdGo->y());
    m_cmdSearch->move(toPixels(row.cmdSearchLeft), m_cmdSearch->y());
    m_combSearch->move(toPixels(row.combSearchLeft), m_combSearch->y());
    if (row.combSearchWidth > 0)
        m_combSearch->resize(toPixels(row.combSearchWidth), m_combSearch->height());
}

bool AddressRow::windowClaims(const QKeyEvent *key) const
{
    if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && !(key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F35))
        return false;
    const QKeySequence pressed(key->keyCombination());
    const auto actions = m_textUrl->window()->findChildren<QAction *>();
    for (const QAction *a : actions)
        if (a->isEnabled() && a->shortcut() == pressed)
            return true;
    return false;
}

namespace {
// Text put into the address box from elsewhere: a leading javascript: goes, as in other
// browsers, so a page that put a script there cannot have the user run it in the site in
// front.
QString withoutScript(QString text)
{
    while (text.trimmed().startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive))
        text = text.trimmed().mid(int(qstrlen("javascript:")));
    return text;
}
} // namespace

bool AddressRow::eventFilter(QObject *watched, QEvent *event)
{
    const bool inLine = watched == m_textUrl->lineEdit() || watched == m_combSearch->lineEdit();
    const bool inAddress = watched == m_textUrl || watched == m_textUrl->lineEdit();
    if (event->type() == QEvent::ShortcutOverride) {
        // A box's own editing keys are its text's (Ctrl+V pastes an address or a word,
        // Ctrl+A selects it), however the menus bind them for the page: a password on
        // the clipboard never lands in a site's field. Ctrl+Z stays the menu's (a closed
        // page back). Escape is the address box's (the page's address back).
        // (Keys reach the box first, which hands them to its field without the field's
        // filters: both are watched.)
        const auto *key = static_cast<QKeyEvent *>(event);
        if (isEditingKey(key) || (inAddress && key->key() == Qt::Key_Escape)) {
            event->accept();
            return true;
        }
        // Not accepted by the box (nor by its line edit, which the combo box forwards
        // to): the menu's shortcut runs instead of the box's own key.
        if (windowClaims(static_cast<QKeyEvent *>(event))) {
            event->ignore();
            return true;
        }
    }
    if (inAddress && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove)) {
        // A file from a file manager carries an address and no text.
        auto *drag = static_cast<QDropEvent *>(event);
        if (drag->mimeData()->hasUrls()) {
            drag->acceptProposedAction();
            return true;
        }
    }
    if (inAddress && event->type() == QEvent::Drop) {
        // A dropped link gives its address, never its caption after the one shown.
        auto *drop = static_cast<QDropEvent *>(event);
        const QList<QUrl> urls = drop->mimeData()->urls();
        if (!urls.isEmpty() && urls.first().isValid()) {
            drop->acceptProposedAction();
            // A dropped javascript: link would run in the site in front.
            if (!Sites::opensFromOutside(urls.first().toString()))
                return true;
            m_textUrl->setEditText(urls.first().toString());
            go();
            return true;
        }
        // Dropped text goes in as pasted text does, without a leading javascript:.
        if (urls.isEmpty() && drop->mimeData()->hasText()) {
            drop->acceptProposedAction();
            m_textUrl->lineEdit()->insert(withoutScript(drop->mimeData()->text()));
            return true;
        }
    }
    if (inAddress && event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste)) {
        // Pasted text loses a leading javascript:, as in other browsers: a page that put
        // a script on the clipboard cannot have the user run it in the site in front.
        m_textUrl->lineEdit()->insert(withoutScript(QGuiApplication::clipboard()->text()));
        return true;
    }
    if (inAddress && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        setAddress(m_pageAddress);
        return true;
    }
    if (inLine)
        return false;
    if (event->type() == QEvent::FocusIn && !m_webFocus) {
        // Take the keyboard out of the page before the box gets it.
        m_webFocus = true;
        emit keyboardTaken();
        static_cast<QWidget *>(watched)->setFocus();
    }
    return QObject::eventFilter(watched, event);
}

void AddressRow::go()
{
    QString text = Sites::typedAddress(m_textUrl->currentText());
    if (text != m_textUrl->currentText())
        m_textUrl->setEditText(text);
    if (!text.contains(QLatin1Char('.'))) {
        text = Sites::searchAddress(text);
        m_textUrl->setEditText(text);
    }
    m_userEdited = false;
    emit goRequested(text);
}

void AddressRow::search()
{
    const QString word = m_combSearch->currentText();
    m_combSearch->addItem(word);
    m_combSearch->setEditText(word);
    emit searchRequested(word);
}
