#include "page/permissionasker.h"

#include "engine/pagecontrol.h"
#include "page/questionbar.h"
#include "tabs/pagetext.h"

#include <QTimer>
#include <algorithm>

namespace {

QString featureText(SiteFeature feature)
{
    switch (feature) {
    case SiteFeature::Notifications: return QStringLiteral("向您显示通知");
    case SiteFeature::Location: return QStringLiteral("知道您的位置");
    case SiteFeature::Microphone: return QStringLiteral("使用您的麦克风");
    case SiteFeature::Camera: return QStringLiteral("使用您的摄像头");
    case SiteFeature::CameraAndMicrophone: return QStringLiteral("使用您的摄像头和麦克风");
    case SiteFeature::Screen: return QStringLiteral("共享您的屏幕");
    case SiteFeature::ScreenWithSound: return QStringLiteral("共享您的屏幕和电脑的声音");
    case SiteFeature::MouseLock: return QStringLiteral("锁定并隐藏鼠标指针");
    }
    return {};
}

} // namespace

PermissionAsker::PermissionAsker(QWidget *page, PageControl &web, PermissionMemory &memory)
    : QObject(page)
    , m_web(web)
    , m_memory(memory)
    , m_bar(new QuestionBar(page))
    , m_deadline(new QTimer(this))
{
    m_bar->setObjectName(QStringLiteral("PermissionBar"));
    m_deadline->setSingleShot(true);
    m_deadline->setInterval(kAnswerWithinMs);
    connect(m_deadline, &QTimer::timeout, this, [this] {
        m_end = End::TimedOut;
        m_bar->dismiss();
    });
    connect(&web, &PageControl::PermissionAsked, this, &PermissionAsker::asked);
    connect(&web, &PageControl::PermissionWithdrawn, this, &PermissionAsker::withdrawn);
}

QString PermissionAsker::question(const QUrl &top, const QUrl &origin, SiteFeature feature)
{
    const QString site = PageText::siteName(origin);
    const QString front = PageText::siteName(top);
    // A frame of another site asks: the user answers for it inside this one only.
    const QString who = front.isEmpty() || front == site ? site + QLatin1Char(' ') : QStringLiteral("%1（在 %2 中）").arg(site, front);
    return QStringLiteral("网站 %1想%2。（%3 秒内不回答即为拒绝）").arg(who, featureText(feature)).arg(kAnswerWithinMs / 1000);
}

void PermissionAsker::asked(const QUrl &origin, SiteFeature feature)
{
    const QUrl top(m_web.LocationURL());
    const int known = m_memory.answer(top, origin, feature);
    if (known >= 0) {
        m_web.answerPermission(origin, feature, known == 1);
        return;
    }
    const Request request{origin, feature, top};
    // Asking again while the bar waits piles nothing up.
    if (std::find(m_waiting.begin(), m_waiting.end(), request) != m_waiting.end())
        return;
    m_waiting.push_back(request);
    if (m_waiting.size() == 1)
        askNext();
}

void PermissionAsker::withdrawn(const QUrl &origin, SiteFeature feature)
{
    const auto found = std::find(m_waiting.begin(), m_waiting.end(), Request{origin, feature, {}});
    if (found == m_waiting.end())
        return;
    if (found != m_waiting.begin()) {
        m_waiting.erase(found);
        return;
    }
    m_end = End::Withdrawn;
    m_bar->dismiss();
}

void PermissionAsker::askNext()
{
    if (m_waiting.empty())
        return;
    const Request &request = m_waiting.front();
    m_end = End::User;
    m_bar->ask(question(request.top, request.origin, request.feature), QStringLiteral("允许"), QStringLiteral("拒绝"),
               [this](bool granted) { answered(granted); });
    m_deadline->start();
}

void PermissionAsker::answered(bool granted)
{
    m_deadline->stop();
    const Request request = m_waiting.front();
    m_waiting.pop_front();
    if (m_end != End::Withdrawn)
        m_web.answerPermission(request.origin, request.feature, granted);
    // Only the user's own click is remembered: a request that timed out may ask again.
    // A page with no site of its own (a blank pop-up, data:) is asked every time: its
    // answer would hold for every such page of any site.
    if (m_end == End::User && !request.top.host().isEmpty())
        m_memory.remember(request.top, request.origin, request.feature, granted);
    // The bar takes its waiting answers before it calls them, so it may ask at once.
    askNext();
}

void PermissionAsker::place(int width, int top)
{
    m_bar->setGeometry(0, top, width, m_bar->sizeHint().height());
}

void PermissionAsker::pageShown()
{
    if (m_deadline->isActive())
        m_deadline->start();
}

void PermissionAsker::setAnswerWithin(int ms)
{
    m_deadline->setInterval(ms);
}
