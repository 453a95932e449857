// The page window out of sight: sleeping when memory runs short (its renderer given up),
// waking again, and staying drawn (hidden from the user, under the others) while its
// pictures are taken.
#include "page/formweb.h"

#include "engine/pagecontrol.h"
#include "page/pagehost.h"
#include "page/scriptdialog.h"
#include "page/session.h"
#include "platform/clock.h"
#include "userdata/options.h"

const QString FormWeb::kAsleepNote = QStringLiteral("（此网页已休眠以节省内存，切换到这里时重新载入）");
const QString FormWeb::kQuestionNote = QStringLiteral("（此网页在等待您回答它的问题，切换到这里回答；回答之前其他网页暂停载入）");

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

void FormWeb::noteWork()
{
    m_lastWork = m_session.clock.now();
}

bool FormWeb::maySleep() const
{
    const QString location = m_web->LocationURL();
    // Never a window still on its way to its first page (a pop-up starts blank).
    if (isVisible() || m_renderHolds > 0 || m_closed || m_closePending || location.isEmpty()
        || location == QLatin1String("about:blank") || m_blocked || m_web->discarded())
        return false;
    // Sound, a question, a picture run (or one that may start by itself), a page that
    // answered a sent form: each would be lost or repeated by a reload.
    if (m_web->recentlyAudible() || m_dialog->asking() || m_saver->busy()
        || m_session.options.autoDownloadPictures() != 0 || m_web->resendsForm(0))
        return false;
    if (m_lastWork.isValid() && m_lastWork.msecsTo(m_session.clock.now()) < kWorkedWithinMs)
        return false;
    // Windows tied to each other by script: a reload would cut the tie.
    if (live(m_openedBy) && m_hasOpener)
        return false;
    for (const QPointer<FormWeb> &child : m_opened)
        if (live(child) && child->m_hasOpener && child->m_openedBy == this)
            return false;
    return true;
}

void FormWeb::trySleep(std::function<void(bool slept)> done)
{
    if (!maySleep()) {
        done(false);
        return;
    }
    m_web->runScript(QLatin1String(kPageHolds), this, [this, done](const QVariant &v) {
        const QVariantList holds = v.toList();
        if (holds.size() != 4 || holds[0].toBool() || holds[1].toBool() || !maySleep()) {
            done(false);
            return;
        }
        // The reader's place is kept here too: the engine's own copy may be older.
        m_scrollBeforeDiscard = QPoint(holds[2].toInt(), holds[3].toInt());
        m_web->discard();
        if (m_web->discarded()) {
            PageText::Label label = PageText::tabLabel(m_pageTitle);
            label.toolTip = PageText::plainToolTip(m_pageTitle + QLatin1Char('\n') + kAsleepNote);
            m_host.setTabLabel(this, label);
        }
        done(m_web->discarded());
    });
}

QDateTime FormWeb::hiddenSince() const
{
    return m_hiddenSince;
}

qint64 FormWeb::rendererPid() const
{
    return m_web ? m_web->rendererPid() : 0;
}

void FormWeb::ping(std::function<void()> answered)
{
    m_web->runScript(QStringLiteral("1"), this, [answered](const QVariant &) { answered(); });
}

void FormWeb::checkOpener()
{
    if (!m_openedBy)
        return;
    m_web->runScript(QStringLiteral("window.opener !== null"), this, [this](const QVariant &v) { m_hasOpener = v.toBool(); });
}

bool FormWeb::discarded() const
{
    return m_web->discarded();
}

bool FormWeb::wakeThen(std::function<void()> then)
{
    if (!m_web->discarded())
        return false;
    // The page gave its renderer up while out of sight: it is shown (under the others)
    // to reload, and the work runs on the reloaded document.
    holdRendering(true);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(m_web, &PageControl::DocumentComplete, this, [this, connection, then] {
        disconnect(*connection);
        then();
        holdRendering(false);
    });
    return true;
}

void FormWeb::holdRendering(bool hold)
{
    if (hold) {
        if (m_renderHolds++ == 0 && !isVisible() && !m_closed) {
            m_hideAfterRender = true;
            lower();
            QWidget::setVisible(true);
        }
        return;
    }
    if (m_renderHolds > 0 && --m_renderHolds == 0 && m_hideAfterRender) {
        m_hideAfterRender = false;
        QWidget::setVisible(false);
    }
}

void FormWeb::setVisible(bool visible)
{
    if (!visible && m_renderHolds > 0) {
        // Out of sight, but still drawn until the pictures are taken.
        m_hideAfterRender = true;
        lower();
        return;
    }
    if (visible)
        m_hideAfterRender = false;
    const bool was = isVisible();
    QWidget::setVisible(visible);
    if (was && !visible)
        m_hiddenSince = m_session.clock.now();
}
