#include "engine/browsercontrol.h"

#include "engine/certificateexceptions.h"
#include "engine/enginepage.h"

#include <QAuthenticator>
#include <QSslCertificate>
#include <QSslError>
#include <QStringDecoder>
#include <QWebEngineHistory>
#include <QWebEngineCertificateError>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineSettings>

namespace {

struct FeatureName {
    QWebEnginePage::Feature engine;
    SiteFeature site;
};
constexpr FeatureName kFeatures[] = {
    {QWebEnginePage::Notifications, SiteFeature::Notifications},
    {QWebEnginePage::Geolocation, SiteFeature::Location},
    {QWebEnginePage::MediaAudioCapture, SiteFeature::Microphone},
    {QWebEnginePage::MediaVideoCapture, SiteFeature::Camera},
    {QWebEnginePage::MediaAudioVideoCapture, SiteFeature::CameraAndMicrophone},
    {QWebEnginePage::DesktopVideoCapture, SiteFeature::Screen},
    {QWebEnginePage::DesktopAudioVideoCapture, SiteFeature::ScreenWithSound},
    {QWebEnginePage::MouseLock, SiteFeature::MouseLock},
};

// The reasons are read from the certificate itself as well: the engine names only the
// gravest of them (a self-signed certificate that also expired says "authority" alone).
CertificateProblem describe(const QWebEngineCertificateError &error)
{
    CertificateProblem problem;
    problem.url = error.url();
    problem.overridable = error.isOverridable();
    switch (error.type()) {
    case QWebEngineCertificateError::CertificateAuthorityInvalid: problem.untrusted = true; break;
    case QWebEngineCertificateError::CertificateCommonNameInvalid: problem.otherName = true; break;
    case QWebEngineCertificateError::CertificateDateInvalid: problem.expired = true; break;
    default: problem.engineText = error.description(); break;
    }
    const QList<QSslCertificate> chain = error.certificateChain();
    if (chain.isEmpty())
        return problem;
    const QSslCertificate &leaf = chain.first();
    problem.validFrom = leaf.effectiveDate();
    problem.validUntil = leaf.expiryDate();
    for (const QString &name : leaf.subjectAlternativeNames().values())
        if (!problem.names.contains(name))
            problem.names.append(name);
    if (problem.names.isEmpty())
        problem.names = leaf.subjectInfo(QSslCertificate::CommonName);
    for (const QSslError &found : QSslCertificate::verify(chain, error.url().host())) {
        switch (found.error()) {
        case QSslError::SelfSignedCertificate:
        case QSslError::SelfSignedCertificateInChain:
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
        case QSslError::CertificateUntrusted: problem.untrusted = true; break;
        case QSslError::CertificateExpired: problem.expired = true; break;
        case QSslError::CertificateNotYetValid: problem.notYetValid = true; break;
        case QSslError::HostNameMismatch: problem.otherName = true; break;
        default: break;
        }
    }
    // The dates are the certificate's own; the checks above read them against this clock.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (problem.validUntil.isValid() && problem.validFrom.isValid()) {
        problem.expired = problem.validUntil < now;
        problem.notYetValid = problem.validFrom > now;
    }
    if (problem.untrusted || problem.expired || problem.notYetValid || problem.otherName)
        problem.engineText.clear();
    return problem;
}

// Servers send a realm in the bytes they were configured with, UTF-8 for a Chinese one;
// the engine reads the header as Latin-1.
QString realmAsSent(const QString &realm)
{
    for (const QChar c : realm)
        if (c.unicode() > 0xFF)
            return realm;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(realm.toLatin1());
    return utf8.hasError() ? realm : decoded;
}

} // namespace

void BrowserControl::wireSiteRequests()
{
    // Asked of the user, never answered by the engine alone (it refuses all of them).
    m_page->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    const auto askLogin = [this](const QUrl &url, QAuthenticator *authenticator, const QString &proxyHost) {
        LoginRequest request{url, realmAsSent(authenticator->realm()), proxyHost, {}, {}, false};
        emit LoginRequired(request);
        if (!request.given) {
            // Cancelled: the engine shows what the server sent with its refusal.
            *authenticator = QAuthenticator();
            return;
        }
        authenticator->setUser(request.user);
        authenticator->setPassword(request.password);
    };
    connect(m_page, &QWebEnginePage::authenticationRequired, this,
            [askLogin](const QUrl &url, QAuthenticator *authenticator) { askLogin(url, authenticator, QString()); });
    connect(m_page, &QWebEnginePage::proxyAuthenticationRequired, this, askLogin);
    connect(m_page, &QWebEnginePage::certificateError, this, &BrowserControl::onCertificateError);
    connect(m_page, &QWebEnginePage::fullScreenRequested, this, [this](QWebEngineFullScreenRequest engineRequest) {
        FullScreenRequest request{engineRequest.toggleOn(), false};
        emit FullScreenRequested(request);
        if (request.accepted)
            engineRequest.accept();
        else
            engineRequest.reject();
    });
    connect(m_page, &QWebEnginePage::featurePermissionRequested, this, [this](const QUrl &origin, QWebEnginePage::Feature feature) {
        for (const FeatureName &known : kFeatures)
            if (known.engine == feature)
                return emit PermissionAsked(origin, known.site);
        m_page->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
    });
    connect(m_page, &QWebEnginePage::featurePermissionRequestCanceled, this, [this](const QUrl &origin, QWebEnginePage::Feature feature) {
        for (const FeatureName &known : kFeatures)
            if (known.engine == feature)
                emit PermissionWithdrawn(origin, known.site);
    });
}

void BrowserControl::onCertificateError(const QWebEngineCertificateError &error)
{
    QWebEngineCertificateError problem = error;
    // A part of a page (a picture, a script) from a host with a bad certificate is left
    // out; only the document the page went to asks the user.
    if (!askedFor(error.url())) {
        problem.rejectCertificate();
        return;
    }
    answerCertificate(false);
    problem.defer();
    m_certificate = std::make_unique<QWebEngineCertificateError>(problem);
    CertificateProblem described = describe(problem);
    described.shownBefore = m_page->history()->count() > 0;
    m_certificateProblem = described;
    emit CertificateProblemFound(described);
}

void BrowserControl::answerCertificate(bool goOn)
{
    if (!m_certificate)
        return;
    const std::unique_ptr<QWebEngineCertificateError> problem = std::move(m_certificate);
    if (goOn && problem->isOverridable()) {
        m_engine.certificates.add(problem->url(), m_certificateProblem);
        problem->acceptCertificate();
    } else
        problem->rejectCertificate();
}

bool BrowserControl::isEnginePage(const QObject *enginePage) const
{
    return enginePage && enginePage == static_cast<const QObject *>(m_page);
}

std::optional<CertificateProblem> BrowserControl::acceptedCertificateProblem() const
{
    return m_page ? m_engine.certificates.find(m_page->url()) : std::nullopt;
}

void BrowserControl::answerPermission(const QUrl &origin, SiteFeature feature, bool granted)
{
    for (const FeatureName &known : kFeatures)
        if (known.site == feature && m_page)
            m_page->setFeaturePermission(origin, known.engine,
                                         granted ? QWebEnginePage::PermissionGrantedByUser : QWebEnginePage::PermissionDeniedByUser);
}

void BrowserControl::leaveFullScreen()
{
    if (m_page)
        m_page->triggerAction(QWebEnginePage::ExitFullScreen);
}
