#include "page/pagesleep.h"

#include <QPointer>

#include "engine/pagecontrol.h"
#include "platform/clock.h"

#include <QWidget>

const QString PageSleep::kAsleepNote = QStringLiteral("（此网页已休眠以节省内存，切换到这里时重新载入）");

namespace {

// What the page itself holds that a reload would lose: its link to the window that opened
// it, and form fields holding what the user or the page typed.
const char kPageHolds[] = R"((function () {
  var typed = Array.prototype.some.call(document.querySelectorAll('input, textarea, select'), function (e) {
    if (e.tagName === 'SELECT')
      return Array.prototype.some.call(e.options, function (o) { return o.selected !== o.defaultSelected; });
    if (e.type === 'checkbox' || e.type === 'radio') return e.checked !== e.defaultChecked;
    if (e.type === 'file') return e.files && e.files.length > 0;
    if (['hidden', 'submit', 'button', 'reset', 'image'].indexOf(e.type) >= 0) return false;
    return e.value !== e.defaultValue;
  });
  return [window.opener !== null, typed, window.scrollX, window.scrollY];
})())";

} // namespace

PageSleep::PageSleep(QWidget *page, PageControl &web, const Clock &clock, std::function<bool()> staysAwake,
                     std::function<void()> asleep)
    : QObject(page)
    , m_page(page)
    , m_web(web)
    , m_clock(clock)
    , m_staysAwake(std::move(staysAwake))
    , m_asleep(std::move(asleep))
{
    connect(&m_web, &PageControl::UserInput, this, &PageSleep::noteWork);
}

void PageSleep::noteWork()
{
    m_lastWork = m_clock.now();
}

bool PageSleep::maySleep() const
{
    const QString location = m_web.LocationURL();
    // Never a window still on its way to its first page (a pop-up starts blank).
    if (m_page->isVisible() || m_renderHolds > 0 || location.isEmpty() || location == QLatin1String("about:blank")
        || m_web.discarded() || m_staysAwake())
        return false;
    // Sound, or a page that answered a sent form: a reload would lose or repeat it.
    if (m_web.recentlyAudible() || m_web.resendsForm(0))
        return false;
    if (m_lastWork.isValid() && m_lastWork.msecsTo(m_clock.now()) < kWorkedWithinMs)
        return false;
    // Windows tied to each other by script: a reload would cut the tie.
    if (m_openedBy && m_hasOpener)
        return false;
    for (const QPointer<PageSleep> &child : m_opened)
        if (child && child->m_hasOpener && child->m_openedBy == this)
            return false;
    return true;
}

void PageSleep::trySleep(std::function<void(bool slept)> done)
{
    if (!maySleep()) {
        done(false);
        return;
    }
    m_web.runScript(QLatin1String(kPageHolds), this, [this, done](const QVariant &v) {
        const QVariantList holds = v.toList();
        if (holds.size() != 4 || holds[0].toBool() || holds[1].toBool() || !maySleep()) {
            done(false);
            return;
        }
        // The reader's place is kept here too: the engine's own copy may be older.
        m_scrollBeforeDiscard = QPoint(holds[2].toInt(), holds[3].toInt());
        m_web.discard();
        if (m_web.discarded())
            m_asleep();
        done(m_web.discarded());
    });
}

bool PageSleep::discarded() const
{
    return m_web.discarded();
}

bool PageSleep::wakeThen(QObject *context, std::function<void()> then)
{
    if (!m_web.discarded())
        return false;
    // The page gave its renderer up while out of sight: it is shown (under the others)
    // to reload, and the work runs on the reloaded document.
    holdRendering(true);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(&m_web, &PageControl::DocumentComplete, this, [this, connection, then, guard = QPointer<QObject>(context)] {
        disconnect(*connection);
        if (guard)
            then();
        holdRendering(false);
    });
    return true;
}

void PageSleep::holdRendering(bool hold)
{
    if (hold) {
        if (m_renderHolds++ == 0 && !m_page->isVisible() && !m_closed) {
            m_hideAfterRender = true;
            m_page->lower();
            m_page->QWidget::setVisible(true);
        }
        return;
    }
    if (m_renderHolds > 0 && --m_renderHolds == 0 && m_hideAfterRender) {
        m_hideAfterRender = false;
        m_page->QWidget::setVisible(false);
    }
}

bool PageSleep::mayHide()
{
    if (m_renderHolds == 0)
        return true;
    // Out of sight, but still drawn until the pictures are taken.
    m_hideAfterRender = true;
    m_page->lower();
    return false;
}

void PageSleep::visibilityChanged(bool was, bool now)
{
    if (now)
        m_hideAfterRender = false;
    if (was && !now)
        m_hiddenSince = m_clock.now();
}

void PageSleep::openedBy(PageSleep &opener)
{
    m_openedBy = &opener;
    m_hasOpener = true;
    opener.m_opened.removeAll(nullptr);
    opener.m_opened.append(this);
}

void PageSleep::documentLoaded()
{
    if (m_scrollBeforeDiscard) {
        m_web.runScript(QStringLiteral("window.scrollTo(%1, %2)").arg(m_scrollBeforeDiscard->x()).arg(m_scrollBeforeDiscard->y()));
        m_scrollBeforeDiscard.reset();
    }
    if (m_openedBy)
        m_web.runScript(QStringLiteral("window.opener !== null"), this, [this](const QVariant &v) { m_hasOpener = v.toBool(); });
}
