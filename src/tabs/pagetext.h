#pragma once
#include <QString>

class QUrl;

// Texts the shell derives from a page: tab label and tool tip, window captions and the
// progress field of the status bar. Pure functions, so the rules are tested without
// a window.
namespace PageText {

extern const QString kProductName;    // "Velmo安全浏览器"
extern const QString kProductSuffix;  // " - Velmo安全浏览器"
extern const QString kEmptyCaption;   // " Velmo安全浏览器"
extern const QString kBlankToolTip;   // tool tip of a blank tab

// The first n characters of text, never splitting a surrogate pair.
QString firstChars(const QString &text, int n);

// Text without the bidirectional embedding, override and isolate controls (U+202A to
// U+202E, U+2066 to U+2069) and marks (U+200E, U+200F, U+061C), which would let
// "gnp.exe" show as "exe.png".
QString withoutBidiControls(const QString &text);

// A site as the browser names it to the user: scheme://host[:port] ("" for none).
QString siteName(const QUrl &address);

// The address without its user name and password, which nothing stores or lists; any
// other address is returned as it is.
QString withoutUserInfo(const QString &address);

// An address as people read it in a list or menu: letters of any script decoded, the
// password left out, blanks still encoded (so a list entry keeps its one double blank).
// Text that is no address with a scheme is returned as it is.
QString readableAddress(const QString &address);

// The page title: the document's title (without bidirectional controls) cut to 100
// characters, or the location when the document has none.
QString pageTitle(const QString &documentTitle, const QString &location);

// Whether a title the engine reports may be its stand-in for a document without a title
// (a form of the address: without the scheme, decoded, the host in Unicode, the file
// name). Only a title that cannot be one is the document's own and can be shown at once;
// any other is read from the document.
bool mayBeAddress(const QString &engineTitle, const QString &location);

struct Label {
    QString text;
    QString toolTip;
};

// Tab label for a page title: "about:blank" gives an empty label with the fixed tool tip.
Label tabLabel(const QString &pageTitle);

// Main window caption for the active tab's label text.
QString mainCaption(const QString &labelText);

// A tool tip that shows text as typed even when it looks like markup.
QString plainToolTip(const QString &text);

// A window title that shows text as typed ("[*]" is otherwise Qt's modified marker).
QString plainWindowTitle(const QString &text);

// The name a screenshot of the page is offered under: the main caption up to two
// characters before its first "-" (the page title, with the usual caption), else the
// page's title or host; never a folder separator in it; ".jpg" at the end.
QString screenshotName(const QString &mainCaption, const QString &pageTitle, const QString &address);

// Whether a generated page (history, gallery) may make the address a link: http, https,
// ftp and file, and data when dataToo; never script or other schemes.
bool linkable(const QString &address, bool dataToo = false);

// Progress field of the status bar. Keeps the last computed percentage between events,
// as the field does between a page's progress notifications.
class Progress
{
public:
    // Text for a ProgressChange(progress, progressMax) event.
    QString change(int progress, int progressMax);
    float percent() const { return m_percent; }
    bool reachedFull() const { return m_percent == 100.0f; }

private:
    float m_percent = 0.0f;
};

} // namespace PageText
