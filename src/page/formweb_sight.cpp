// The page window out of sight: giving the renderer up, waking again, and staying drawn
// (hidden from the user, under the others) while its pictures are taken.
#include "page/formweb.h"

#include "engine/browsercontrol.h"
#include "page/scriptdialog.h"
#include "page/session.h"
#include "userdata/options.h"

#include <QTimer>

void FormWeb::setUpDiscarding()
{
    m_discardTimer = new QTimer(this);
    m_discardTimer->setSingleShot(true);
    connect(m_discardTimer, &QTimer::timeout, this, [this] {
        const auto eligible = [this] {
            const QString location = m_web->LocationURL();
            // Never a window still on its way to its first page (a pop-up starts blank).
            return m_session.discarding.enabled && !isVisible() && !location.isEmpty()
                   && location != QLatin1String("about:blank") && !m_blocked && !m_touched && !m_saver->busy() && !m_dialog->asking()
                   && m_session.options.autoDownloadPictures() == 0 && !m_web->discarded();
        };
        if (!eligible())
            return;
        // The reader's place is kept here too: the engine's own copy may be older.
        m_web->runScript(QStringLiteral("[window.scrollX, window.scrollY]"), [this, eligible](const QVariant &v) {
            const QVariantList at = v.toList();
            if (at.size() != 2 || !eligible())
                return;
            m_scrollBeforeDiscard = QPoint(at[0].toInt(), at[1].toInt());
            m_web->discard();
        });
    });
}

void FormWeb::considerDiscarding(int afterMs)
{
    if (afterMs < 0)
        afterMs = m_session.discarding.graceMs;
    if (isVisible() || !m_session.discarding.enabled)
        m_discardTimer->stop();
    else if (!m_discardTimer->isActive() || afterMs < m_discardTimer->remainingTime())
        m_discardTimer->start(afterMs);
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
    *connection = connect(m_web, &BrowserControl::DocumentComplete, this, [this, connection, then] {
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
        considerDiscarding();
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
    QWidget::setVisible(visible);
    considerDiscarding();
}
