#pragma once
#include <QFrame>
#include <QStringList>

#include "engine/siterequests.h"
class QLabel;
class QPushButton;

// Stands over a page whose site's certificate failed the checks, in place of the page:
// which host, and why its certificate proves nothing (not trusted, expired, issued for
// another name), with going back as the default. Where the engine allows it, a second,
// plainly marked button goes on to the site; the engine then trusts that certificate
// for the host until the browser exits.
class CertificatePanel : public QFrame
{
    Q_OBJECT
public:
    explicit CertificatePanel(QWidget *page);

    void show(const CertificateProblem &problem);
    // The problem shown last.
    const CertificateProblem &problem() const { return m_problem; }
    // What is wrong with the certificate, one sentence a reason, in the user's words.
    static QStringList reasons(const CertificateProblem &problem, const QString &host);
    // Over the page's view.
    void place(const QRect &viewRect);

    QLabel *text() const { return m_text; }
    QPushButton *back() const { return m_back; }
    QPushButton *goOn() const { return m_goOn; }

signals:
    // The user's answer: go on to the site, or not; not going on leads back to the page
    // shown before, or to a blank one where there was none (toBlank).
    void answered(bool goOn, bool toBlank);

private:
    using QFrame::show;
    QLabel *m_heading = nullptr;
    QLabel *m_text = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_goOn = nullptr;
    bool m_shownBefore = false;
    CertificateProblem m_problem;
};
