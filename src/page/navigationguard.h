#pragma once
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

#include "page/popupbudget.h"

class Options;
class PageControl;
struct NavigationRequest;
struct NewWindowRequest;

// What a page may load and open: the ad filter's refusals, the budget of windows a page
// (with the windows it opened) may open without a click, and the question before a form
// is sent again.
class NavigationGuard
{
public:
    // ask puts a yes/no question to the user.
    NavigationGuard(const Options &options, std::function<bool(const QString &question)> ask);

    // Windows a page may open without a click in a minute.
    static constexpr int kScriptWindowCap = PopupBudget::kWindows;
    static const QString kResendQuestion;

    // Cancels what the ad filter refuses; true when a main document starts (the page
    // forgets its notice then).
    bool beforeNavigate(NavigationRequest &request);
    // Whether the window may open; told is set to the status line to show once.
    bool mayOpen(const NewWindowRequest &request, const QDateTime &now, QString *told);
    // A window this page's opener opened without a click spends its opener's budget.
    void shareBudgetOf(const NavigationGuard &opener) { m_popups = opener.m_popups; }
    // Whether loading the entry step away (0: this one) of web may go ahead.
    bool mayResend(const PageControl &web, int step) const;
    // The ad filter refused something of this page.
    bool blocked() const { return m_blocked; }

private:
    const Options &m_options;
    std::function<bool(const QString &)> m_ask;
    std::shared_ptr<PopupBudget> m_popups = std::make_shared<PopupBudget>();
    bool m_blocked = false;
};
