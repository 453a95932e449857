#pragma once
#include <QDateTime>
#include <QStringList>
#include <QUrl>

// What a site asks of the browser besides its pages, in the shell's own words.

// A site (or a proxy on the way to it) wants a user name and password. The engine waits
// for the answer: the receiver fills user and password and sets given before it returns;
// left ungiven, the engine shows the server's own refusal.
struct LoginRequest {
    QUrl url;
    QString realm;
    QString proxyHost; // "" when the site itself asks
    QString user;
    QString password;
    bool given = false;
};

// A site's certificate failed the checks. Nothing waits on the window: the load stands
// still until PageControl::answerCertificate.
struct CertificateProblem {
    QUrl url;
    bool untrusted = false;   // no authority the system trusts vouches for it
    bool expired = false;     // past validUntil
    bool notYetValid = false; // before validFrom
    bool otherName = false;   // issued for other names than the host
    QStringList names;        // the names it was issued for
    QDateTime validFrom;
    QDateTime validUntil;
    QString engineText;       // the engine's own description, when none of the above
    bool overridable = false; // the engine lets the user go on
    bool shownBefore = false; // the page shows a document of its own from before this load
};

// The page wants an element to fill the screen (on), or to leave that (off). The receiver
// sets accepted before it returns.
struct FullScreenRequest {
    bool on = false;
    bool accepted = false;
};

// What a site may ask to use.
enum class SiteFeature { Notifications, Location, Microphone, Camera, CameraAndMicrophone, Screen, ScreenWithSound, MouseLock };

// A notification a site was allowed to show.
struct SiteNotice {
    QUrl origin;
    QString title;
    QString message;
};
