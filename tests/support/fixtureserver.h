#pragma once
#include <QHash>
#include <QImage>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// Local HTTP server for tests, on 127.0.0.1 with an ephemeral port. Serves the files of
// tests/fixtures and a few generated routes, and counts requests by path.
//
//   /title?t=TEXT        page whose <title> is TEXT (HTML-escaped in the source)
//   /long-title?n=N      page whose title is N characters long
//   /page?id=X           small page titled "Page X"
//   /notitle             page without a title
//   /never               accepts the request and never answers
//   /redirect?to=P[&n=N][&code=C]   N redirects (default 1, code 302) ending at path P
//   /status?code=C       a page answered with HTTP status C (404, 500, ...)
//   /slow?chunks=N&ms=M  a page whose body arrives in N pieces M milliseconds apart
//   /picture?w=W&h=H[&color=RRGGBB][&fmt=png|jpg|gif][&stripe=1]   a generated picture of
//                        that size (stripe: a black band across its bottom tenth)
//   /pictures?n=K&w=W&h=H[&fmt=...][&noise=1][&sized=1]   a page of K such pictures, each at
//                        its own address (sized: with width and height attributes)
//   /imgpage?i=WxHxRRGGBB[xFMT[xs|xn]]&x=...&raw=SRC   a page "Images" of pictures in that order:
//                        i same origin, x from the second port, raw a literal src;
//                        s adds the black band, n fills the picture with noise
//   /posted              the answer to a sent form, titled "Posted N" (N: forms sent so far)
//   /download?bytes=N[&name=F]        an attachment of exactly N bytes (downloadBytes)
//   /resumable?bytes=N&cut=K[&norange=1][&close=1][&part=changed|elsewhere|refused]
//                        big.bin, N bytes; the first answer breaks off after K (a reset, or
//                        an orderly close); a Range request gets the rest (206) unless
//                        norange, or another version as 206, a part that starts elsewhere,
//                        or a 416
//   /stripes?h=N                      a page N pixels tall in 8-pixel grey stripes (stripeGrey)
//   /doc.pdf[?attachment=1]           a one-page PDF titled kPdfTitle (pdfBytes), shown or an attachment
//   /trickle?bytes=N&ms=M[&die=1]     an attachment sent 64 KiB every M ms (die: the line
//                        drops halfway)
//   /login?realm=R       asks for an HTTP basic login (zhang / s3cret): "已登录 zhang" once
//                        given, else a 401 titled "401 需要登录"
//   anything?delay=MS    answers after MS milliseconds
// Every route is also served on a second port (crossUrl), a different origin.
class FixtureServer : public QObject
{
    Q_OBJECT
public:
    explicit FixtureServer(QObject *parent = nullptr);
    ~FixtureServer() override;
    bool start();
    // The picture that noise=1 serves, decoded.
    static QImage noisePicture(int w, int h);
    // What /download and /trickle send: "abc...z" over and over.
    static QByteArray downloadBytes(int bytes);
    static QByteArray pdfBytes();
    // The grey of /stripes' stripe number i (each 8 pixels tall, eight to a cycle).
    static int stripeGrey(int i) { return (i % 8) * 255 / 7; }
    static const QString kPdfTitle;
    quint16 port() const { return m_server.serverPort(); }
    QUrl url(const QString &pathAndQuery) const;
    QString address(const QString &pathAndQuery) const { return url(pathAndQuery).toString(); }
    // The same route on the second port: another origin for cross-origin cases.
    QUrl crossUrl(const QString &pathAndQuery) const;
    int requestCount(const QString &path) const { return m_counts.value(path); }
    // Requests that sent a form (POST) to path.
    int postCount(const QString &path) const { return m_posts.value(path); }
    // Where each request for /resumable asked to start (-1: the whole); the requests for
    // its first byte alone (what the version is) are counted apart.
    QList<qint64> rangesFrom() const { return m_rangesFrom; }
    int firstByteAsked() const { return m_firstByteAsked; }
    // Requests for /login that carried a login.
    int loginsSent() const { return m_loginsSent; }
    // While down, every answer for /resumable breaks off at its cut.
    void setLineDown(bool down) { m_lineDown = down; }
    void resetCounts()
    {
        m_counts.clear();
        m_posts.clear();
        m_rangesFrom.clear();
        m_firstByteAsked = 0;
        m_wentOnFrom = 0;
    }

signals:
    void requestSeen(const QString &path);

private:
    void onConnection(QTcpServer *server);
    void trickle(QTcpSocket *socket, int bytes, int ms, bool die);
    void respondSlowly(QTcpSocket *socket, int chunks, int ms, const QString &title);
    struct Resumable {
        qint64 total = 0;
        qint64 cut = 0;
        bool noRanges = false;
        bool close = false;
        QString part; // how a range is answered: "" honestly, changed, alike, elsewhere, refused
        bool noVersion = false;  // no ETag, no Last-Modified
        bool slowCheck = false;  // a closed range ("bytes=a-b") is answered a byte every 2 s
        bool needCookie = false; // every request must carry the cookie trace=resume
    };
    void resumable(QTcpSocket *socket, const Resumable &how, qint64 from, qint64 last);
    void onReadyRead(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const QUrl &url);

    QTcpServer m_server;
    QTcpServer m_cross;
    QHash<QString, int> m_counts;
    QHash<QString, int> m_posts;
    QList<qint64> m_rangesFrom;
    int m_firstByteAsked = 0;
    qint64 m_wentOnFrom = 0; // where the first request that went on from a byte started
    bool m_lineDown = false;
    int m_loginsSent = 0;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};
