#include "page/navigationguard.h"

#include "engine/pagecontrol.h"
#include "page/adfilter.h"
#include "userdata/options.h"

const QString NavigationGuard::kResendQuestion = QStringLiteral(
    "此网页需要重新提交表单数据，重新提交可能会重复之前的操作（例如付款）。是否继续？");

NavigationGuard::NavigationGuard(const Options &options, std::function<bool(const QString &)> ask)
    : m_options(options)
    , m_ask(std::move(ask))
{
}

bool NavigationGuard::beforeNavigate(NavigationRequest &request)
{
    if (AdFilter::refuses(request.url, m_options.adBlock(), m_options.safePictureMode())) {
        request.cancel = true;
        m_blocked = true;
    }
    if (!request.mainFrame || request.cancel)
        return false;
    // The budget goes on; a refusal on the new page is told there again.
    m_popups->told = false;
    return true;
}

bool NavigationGuard::mayOpen(const NewWindowRequest &request, const QDateTime &now, QString *told)
{
    // Windows the user asks for are never refused here; no honest page comes near the
    // bound of those it opens on its own.
    if (request.userInitiated || m_popups->take(now))
        return true;
    if (m_popups->tellOnce())
        *told = QStringLiteral("此网页自行弹出的窗口已超过 %1 个，其余的已被拦截。").arg(kScriptWindowCap);
    return false;
}

bool NavigationGuard::mayResend(const PageControl &web, int step) const
{
    // An entry that answered a sent form sends it again when loaded: the user says first.
    return !web.resendsForm(step) || m_ask(kResendQuestion);
}
