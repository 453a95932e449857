#include "fixtureserver.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QFileInfo>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

#include <cctype>
#include <sys/socket.h>

namespace {

QByteArray page(const QString &title, const QString &body = QStringLiteral("<p>fixture</p>"))
{
    QString html = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">");
    if (!title.isNull())
        html += QStringLiteral("<title>") + title.toHtmlEscaped() + QStringLiteral("</title>");
    html += QStringLiteral("</head><body>") + body + QStringLiteral("</body></html>");
    return html.toUtf8();
}

QByteArray contentType(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png")) return "image/png";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return "image/jpeg";
    if (suffix == QLatin1String("css")) return "text/css";
    if (suffix == QLatin1String("js")) return "application/javascript";
    if (suffix == QLatin1String("mp4")) return "video/mp4";
    if (suffix == QLatin1String("mp3")) return "audio/mpeg";
    return "text/html; charset=utf-8";
}

QByteArray picture(const QUrlQuery &query)
{
    const int w = qBound(1, query.queryItemValue(QStringLiteral("w")).toInt(), 40000);
    const int h = qBound(1, query.queryItemValue(QStringLiteral("h")).toInt(), 40000);
    const QString colour = query.queryItemValue(QStringLiteral("color"));
    const QByteArray format = query.hasQueryItem(QStringLiteral("fmt"))
                                  ? query.queryItemValue(QStringLiteral("fmt")).toLatin1()
                                  : QByteArray("png");
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour.isEmpty() ? QColor(200, 40, 40) : QColor(QLatin1Char('#') + colour));
    if (query.hasQueryItem(QStringLiteral("noise")))
        image = FixtureServer::noisePicture(w, h);
    if (query.hasQueryItem(QStringLiteral("mark"))) {
        // Corner marks a misplaced cut loses: black top left, white bottom right.
        QPainter paint(&image);
        paint.fillRect(0, 0, 6, 6, Qt::black);
        paint.fillRect(w - 6, h - 6, 6, 6, Qt::white);
    }
    if (query.hasQueryItem(QStringLiteral("stripe"))) {
        // A black band across the bottom tenth: a picture put together wrongly shows it.
        QPainter(&image).fillRect(0, h - h / 10, w, h / 10, Qt::black);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

QByteArray httpHead(const QByteArray &status, const QByteArray &type, qint64 length, const QByteArray &extra = {})
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\nContent-Length: " + QByteArray::number(length)
           + "\r\n" + extra + "Cache-Control: no-store\r\nConnection: close\r\n\r\n";
}

} // namespace

QImage FixtureServer::noisePicture(int w, int h)
{
    // Detail a JPEG cannot squeeze: the file is large whatever its colour.
    QImage image(w, h, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            line[x] = qRgb(seed >> 24, (seed >> 16) & 0xff, (seed >> 8) & 0xff);
        }
    }
    return image;
}

FixtureServer::FixtureServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] { onConnection(&m_server); });
    connect(&m_cross, &QTcpServer::newConnection, this, [this] { onConnection(&m_cross); });
}

FixtureServer::~FixtureServer()
{
    // A socket still open says "disconnected" as it is deleted, which is after this
    // server's members are gone: its slots here must not hear it.
    for (const QTcpServer *server : {&m_server, &m_cross})
        for (QTcpSocket *socket : server->findChildren<QTcpSocket *>())
            socket->disconnect(this);
}

bool FixtureServer::start()
{
    return m_server.listen(QHostAddress::LocalHost, 0) && m_cross.listen(QHostAddress::LocalHost, 0);
}

QUrl FixtureServer::crossUrl(const QString &pathAndQuery) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_cross.serverPort()).arg(pathAndQuery));
}

QUrl FixtureServer::url(const QString &pathAndQuery) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(pathAndQuery));
}

void FixtureServer::onConnection(QTcpServer *server)
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void FixtureServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray &buf = m_buffers[socket];
    buf += socket->readAll();
    const int end = buf.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    // A sent form's body follows its head: answer once it is all here.
    const QByteArray head = buf.left(end).toLower();
    const int lengthAt = head.indexOf("\r\ncontent-length:");
    const qint64 length = lengthAt < 0 ? 0 : head.mid(lengthAt + 17, head.indexOf("\r\n", lengthAt + 2) - lengthAt - 17).trimmed().toLongLong();
    if (buf.size() < end + 4 + length)
        return;
    const QList<QByteArray> requestLine = buf.left(buf.indexOf("\r\n")).split(' ');
    buf.clear();
    if (requestLine.size() < 2) {
        socket->disconnectFromHost();
        return;
    }
    const QUrl url = QUrl(QStringLiteral("http://127.0.0.1") + QString::fromLatin1(requestLine[1]));
    m_counts[url.path()] += 1;
    if (requestLine[0] == "POST")
        m_posts[url.path()] += 1;
    emit requestSeen(url.path());
    const int delay = QUrlQuery(url).queryItemValue(QStringLiteral("delay")).toInt();
    if (url.path() == QLatin1String("/never"))
        return;
    if (delay > 0) {
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(delay, this, [this, guard, url] {
            if (guard)
                respond(guard, url);
        });
        return;
    }
    if (url.path() == QLatin1String("/login")) {
        // HTTP basic login, user "zhang", password "s3cret" (the head is lower case).
        const bool sent = head.contains("\r\nauthorization:");
        m_loginsSent += sent ? 1 : 0;
        const QString realm = QUrlQuery(url).queryItemValue(QStringLiteral("realm"), QUrl::FullyDecoded);
        if (sent && head.contains("\r\nauthorization: basic " + QByteArray("zhang:s3cret").toBase64().toLower())) {
            const QByteArray body = page(QStringLiteral("已登录 zhang"));
            socket->write(httpHead("200 OK", "text/html; charset=utf-8", body.size()) + body);
        } else {
            const QByteArray body = page(QStringLiteral("401 需要登录"));
            socket->write(httpHead("401 Unauthorized", "text/html; charset=utf-8", body.size(),
                                   "WWW-Authenticate: Basic realm=\"" + realm.toUtf8() + "\"\r\n")
                          + body);
        }
        socket->disconnectFromHost();
        return;
    }
    if (url.path() == QLatin1String("/trickle")) {
        const QUrlQuery query(url);
        trickle(socket, query.queryItemValue(QStringLiteral("bytes")).toInt(), query.queryItemValue(QStringLiteral("ms")).toInt(),
                query.hasQueryItem(QStringLiteral("die")));
        return;
    }
    if (url.path() == QLatin1String("/resumable")) {
        // Asked for from a byte on: only what follows.
        const int rangeAt = head.indexOf("\r\nrange: bytes=");
        const qsizetype fromAt = rangeAt + qsizetype(qstrlen("\r\nrange: bytes="));
        const qint64 dash = head.indexOf('-', fromAt);
        const qint64 from = rangeAt < 0 ? 0 : head.mid(fromAt, dash - fromAt).toLongLong();
        const bool closedRange = rangeAt >= 0 && dash + 1 < head.size() && std::isdigit(uchar(head.at(dash + 1)));
        const qint64 last = closedRange ? head.mid(dash + 1, head.indexOf('\r', dash) - dash - 1).toLongLong() : -1;
        const QUrlQuery query(url);
        if (closedRange && from == 0 && last == 0) {
            // Asked what version it is; versionunknown: it cannot say.
            ++m_firstByteAsked;
            if (query.hasQueryItem(QStringLiteral("versionunknown"))) {
                socket->write(httpHead("503 Service Unavailable", "text/plain", 0));
                socket->disconnectFromHost();
                return;
            }
        } else {
            m_rangesFrom.append(rangeAt < 0 ? -1 : from);
        }
        Resumable how;
        how.total = query.queryItemValue(QStringLiteral("bytes")).toLongLong();
        how.cut = query.queryItemValue(QStringLiteral("cut")).toLongLong();
        how.noRanges = query.hasQueryItem(QStringLiteral("norange"));
        how.close = query.hasQueryItem(QStringLiteral("close"));
        how.part = query.queryItemValue(QStringLiteral("part"));
        how.noVersion = query.hasQueryItem(QStringLiteral("noversion"));
        how.slowCheck = query.hasQueryItem(QStringLiteral("slowcheck"));
        how.needCookie = query.hasQueryItem(QStringLiteral("needcookie"));
        if (how.needCookie && !head.contains("\r\ncookie: trace=resume")) {
            socket->write(httpHead("403 Forbidden", "text/plain", 0));
            socket->disconnectFromHost();
            return;
        }
        resumable(socket, how, from, last);
        return;
    }
    if (url.path() == QLatin1String("/slow")) {
        const QUrlQuery query(url);
        respondSlowly(socket, qMax(1, query.queryItemValue(QStringLiteral("chunks")).toInt()),
                      query.queryItemValue(QStringLiteral("ms")).toInt(),
                      query.hasQueryItem(QStringLiteral("untitled")) ? QString() : QStringLiteral("Slow"));
        return;
    }
    respond(socket, url);
}

const QString FixtureServer::kPdfTitle = QStringLiteral("Velmo PDF 测试");

QByteArray FixtureServer::pdfBytes()
{
    // Made once: the writer stamps the time, and every request must get the same bytes.
    static const QByteArray bytes = [] {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(kPdfTitle);
        writer.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter(&writer);
        QFont font = painter.font();
        font.setPointSize(24);
        painter.setFont(font);
        painter.drawText(QRect(0, 0, writer.width(), writer.height() / 4), Qt::AlignCenter, QStringLiteral("First page 第一页"));
        painter.end();
        return buffer.data();
    }();
    return bytes;
}

QByteArray FixtureServer::downloadBytes(int bytes)
{
    QByteArray body(qMax(0, bytes), Qt::Uninitialized);
    for (int i = 0; i < body.size(); ++i)
        body[i] = char('a' + i % 26);
    return body;
}

void FixtureServer::trickle(QTcpSocket *socket, int bytes, int ms, bool die)
{
    // An attachment sent 64 KiB at a time, ms apart; "die" drops the line halfway.
    const QByteArray body = downloadBytes(bytes);
    socket->write(httpHead("200 OK", "application/octet-stream", body.size(),
                           "Content-Disposition: attachment; filename=\"trickle.bin\"\r\n"));
    const int piece = 64 * 1024;
    const int pieces = (body.size() + piece - 1) / piece;
    QPointer<QTcpSocket> guard(socket);
    for (int i = 0; i < pieces; ++i) {
        // Precise: coarse timers (Qt's choice past 2 s) may fire a later piece first.
        QTimer::singleShot(ms * (i + 1), Qt::PreciseTimer, this, [guard, body, piece, i, pieces, die] {
            if (!guard || guard->state() != QAbstractSocket::ConnectedState)
                return;
            if (die && i >= pieces / 2) {
                guard->abort();
                return;
            }
            guard->write(body.mid(i * piece, piece));
            if (i == pieces - 1)
                guard->disconnectFromHost();
        });
    }
}

void FixtureServer::resumable(QTcpSocket *socket, const Resumable &how, qint64 from, qint64 last)
{
    const qint64 total = how.total;
    const QByteArray body = downloadBytes(int(total));
    QByteArray head;
    QByteArray part;
    const auto common = [&how](const QByteArray &etag) {
        const QByteArray version = how.noVersion ? QByteArray()
                                                 : "ETag: \"" + etag + "\"\r\nLast-Modified: " + (etag == "v1" ? "Tue" : "Wed")
                                                       + ", 0" + (etag == "v1" ? '1' : '2') + " Dec 2026 08:00:00 GMT\r\n";
        return "Content-Type: application/octet-stream\r\n" + version
               + "Content-Disposition: attachment; filename=\"big.bin\"\r\nConnection: close\r\n";
    };
    // What a server sends for a range: from its start to the end asked, or of the file.
    const auto partial = [&](qint64 start, const QByteArray &bytes, const QByteArray &etag) {
        const qint64 end = last >= start && last < total ? last : total - 1;
        part = bytes.mid(start, end - start + 1);
        head = "HTTP/1.1 206 Partial Content\r\n" + common(etag) + "Accept-Ranges: bytes\r\nContent-Range: bytes "
               + QByteArray::number(start) + '-' + QByteArray::number(end) + '/' + QByteArray::number(total)
               + "\r\nContent-Length: " + QByteArray::number(part.size()) + "\r\n\r\n";
    };
    if (from > 0 && from < total && !how.noRanges) {
        if (how.part == QLatin1String("changed")) {
            // Another version of the file, sent as if it went on from the first.
            partial(from, body.toUpper(), "v2");
        } else if (how.part == QLatin1String("alike")) {
            // Another version, alike only in the 16 KiB before where the transfer went on.
            if (last < 0 && m_wentOnFrom == 0)
                m_wentOnFrom = from;
            const qint64 upTo = m_wentOnFrom > 0 ? m_wentOnFrom : from;
            const qint64 alike = qMax<qint64>(0, upTo - 16 * 1024);
            partial(from, body.left(alike).toUpper() + body.mid(alike, upTo - alike) + body.mid(upTo).toUpper(), "v2");
        } else if (how.part == QLatin1String("elsewhere")) {
            partial(from / 2, body, "v1");
        } else if (how.part == QLatin1String("refused")) {
            head = "HTTP/1.1 416 Range Not Satisfiable\r\n" + common("v1") + "Content-Range: bytes */"
                   + QByteArray::number(total) + "\r\nContent-Length: 0\r\n\r\n";
        } else {
            partial(from, body, "v1");
        }
    } else {
        part = body;
        head = "HTTP/1.1 200 OK\r\n" + common("v1") + (how.noRanges ? QByteArray() : QByteArray("Accept-Ranges: bytes\r\n"))
               + "Content-Length: " + QByteArray::number(total) + "\r\n\r\n";
    }
    // The first answer (every one while the line is down) breaks off at byte cut: the
    // connection is reset, as a network that goes away resets it, or closed (close=1), as a
    // server that gives up closes it.
    const bool breaks = how.cut > 0 && (m_counts.value(QStringLiteral("/resumable")) == 1 || m_lineDown);
    if (breaks)
        part = part.left(qMax<qint64>(0, how.cut - from));
    QPointer<QTcpSocket> guard(socket);
    if (how.slowCheck && last > 0) {
        // A byte at a time, 2 s apart: a server that never quite answers.
        socket->write(head);
        auto *drip = new QTimer(socket);
        connect(drip, &QTimer::timeout, socket, [guard, part, sent = 0]() mutable {
            if (guard && sent < part.size())
                guard->write(part.mid(sent++, 1));
        });
        drip->start(2000);
        return;
    }
    socket->write(head + part);
    const bool reset = breaks && !how.close;
    connect(socket, &QTcpSocket::bytesWritten, socket, [guard, reset] {
        if (guard && guard->bytesToWrite() == 0) {
            if (reset) {
                // A reset, not an orderly end: what a broken line looks like to the other side.
                const linger hard{1, 0};
                ::setsockopt(int(guard->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
                guard->abort();
            } else {
                guard->disconnectFromHost();
            }
        }
    });
}

void FixtureServer::respondSlowly(QTcpSocket *socket, int chunks, int ms, const QString &title)
{
    const QByteArray body = page(title, QString(chunks * 64, QLatin1Char('s')));
    socket->write(httpHead("200 OK", "text/html; charset=utf-8", body.size()));
    const int piece = (body.size() + chunks - 1) / chunks;
    QPointer<QTcpSocket> guard(socket);
    for (int i = 0; i < chunks; ++i) {
        QTimer::singleShot(ms * (i + 1), Qt::PreciseTimer, this, [guard, body, piece, i, chunks] {
            if (!guard)
                return;
            guard->write(body.mid(i * piece, piece));
            if (i == chunks - 1)
                guard->disconnectFromHost();
        });
    }
}

void FixtureServer::respond(QTcpSocket *socket, const QUrl &url)
{
    const QUrlQuery query(url);
    const QString path = url.path();
    QByteArray body;
    QByteArray type = "text/html; charset=utf-8";
    QByteArray status = "200 OK";
    QByteArray extra;
    if (path == QLatin1String("/redirect")) {
        const int n = qMax(1, query.queryItemValue(QStringLiteral("n")).toInt());
        const QString to = query.queryItemValue(QStringLiteral("to"), QUrl::FullyDecoded);
        const QString code = query.hasQueryItem(QStringLiteral("code")) ? query.queryItemValue(QStringLiteral("code"))
                                                                         : QStringLiteral("302");
        QUrlQuery next;
        next.addQueryItem(QStringLiteral("to"), QString::fromLatin1(QUrl::toPercentEncoding(to)));
        next.addQueryItem(QStringLiteral("n"), QString::number(n - 1));
        next.addQueryItem(QStringLiteral("code"), code);
        const QString location = n > 1 ? QStringLiteral("/redirect?") + next.toString() : to;
        status = code.toLatin1() + " Redirect";
        extra = "Location: " + location.toUtf8() + "\r\n";
        body = page(QStringLiteral("Moved"));
    } else if (path == QLatin1String("/setcookie")) {
        extra = "Set-Cookie: trace=" + query.queryItemValue(QStringLiteral("v")).toLatin1() + "; Max-Age=3600; Path=/\r\n";
        body = page(QStringLiteral("Cookie set"));
    } else if (path == QLatin1String("/status")) {
        const QString code = query.queryItemValue(QStringLiteral("code"));
        status = code.toLatin1() + " Status";
        body = page(QStringLiteral("Status ") + code);
    } else if (path == QLatin1String("/picture")) {
        const QString fmt = query.queryItemValue(QStringLiteral("fmt"));
        type = fmt == QLatin1String("jpg") ? "image/jpeg" : fmt == QLatin1String("gif") ? "image/gif" : "image/png";
        body = picture(query);
    } else if (path == QLatin1String("/pictures")) {
        const int n = query.queryItemValue(QStringLiteral("n")).toInt();
        QString imgs;
        for (int i = 0; i < n; ++i)
            imgs += QStringLiteral("<img src=\"/picture?w=%1&amp;h=%2&amp;i=%3%4%5\"%6>")
                        .arg(query.queryItemValue(QStringLiteral("w")), query.queryItemValue(QStringLiteral("h")))
                        .arg(i)
                        .arg(query.hasQueryItem(QStringLiteral("fmt")) ? QStringLiteral("&amp;fmt=") + query.queryItemValue(QStringLiteral("fmt")) : QString())
                        .arg(query.hasQueryItem(QStringLiteral("noise")) ? QStringLiteral("&amp;noise=1") : QString())
                        .arg(query.hasQueryItem(QStringLiteral("sized"))
                                 ? QStringLiteral(" width=%1 height=%2").arg(query.queryItemValue(QStringLiteral("w")), query.queryItemValue(QStringLiteral("h")))
                                 : QString());
        body = page(QStringLiteral("Pictures %1").arg(n), imgs);
    } else if (path == QLatin1String("/imgpage")) {
        // i=WxHxCOLOR[xFMT[xs|n|m]] (x= for the other origin), raw=SRC, late=WxHxCOLORxMS,
        // never=WxH, broken=WxH, rep=NxWxHxCOLOR[xCOLOR2] (N pictures, colours taking
        // turns); quirks=1 (no doctype), block=1 (each picture in a block), css=RULES.
        QString imgs;
        int n = 0;
        const auto sized = [](const QStringList &p) { return QStringLiteral(" width=%1 height=%2").arg(p[0], p[1]); };
        for (const auto &item : query.queryItems(QUrl::FullyDecoded)) {
            const QStringList p = item.second.split(QLatin1Char('x'));
            QStringList srcs;
            QString attrs;
            if (item.first == QLatin1String("raw")) {
                srcs << item.second;
            } else if (item.first == QLatin1String("never") && p.size() >= 2) {
                srcs << QStringLiteral("/never?n=%1").arg(n++);
                attrs = sized(p);
            } else if (item.first == QLatin1String("broken") && p.size() >= 2) {
                srcs << QStringLiteral("/status?code=404&n=%1").arg(n++);
                attrs = sized(p);
            } else if (item.first == QLatin1String("late") && p.size() >= 4) {
                srcs << QStringLiteral("/picture?w=%1&h=%2&color=%3&delay=%4&n=%5").arg(p[0], p[1], p[2], p[3]).arg(n++);
                attrs = sized(p);
            } else if (item.first == QLatin1String("rep") && p.size() >= 4) {
                for (int k = 0; k < p[0].toInt(); ++k)
                    srcs << QStringLiteral("/picture?w=%1&h=%2&color=%3&mark=1&n=%4")
                                .arg(p[1], p[2], k % 2 && p.size() > 4 ? p[4] : p[3])
                                .arg(n++);
            } else if ((item.first == QLatin1String("i") || item.first == QLatin1String("x")) && p.size() >= 3) {
                QString src = QStringLiteral("/picture?w=%1&h=%2&color=%3&fmt=%4&n=%5")
                                  .arg(p[0], p[1], p[2], p.value(3, QStringLiteral("png")))
                                  .arg(n++);
                if (p.value(4) == QLatin1String("s"))
                    src += QStringLiteral("&stripe=1");
                if (p.value(4) == QLatin1String("n"))
                    src += QStringLiteral("&noise=1");
                if (p.value(4) == QLatin1String("m"))
                    src += QStringLiteral("&mark=1");
                if (item.first == QLatin1String("x"))
                    src = QStringLiteral("http://127.0.0.1:%1").arg(m_cross.serverPort()) + src;
                srcs << src;
            }
            for (const QString &src : std::as_const(srcs)) {
                const QString img = QStringLiteral("<img src=\"") + src.toHtmlEscaped() + QStringLiteral("\"") + attrs
                                    + QStringLiteral(">");
                imgs += query.hasQueryItem(QStringLiteral("block")) ? QStringLiteral("<div>") + img + QStringLiteral("</div>")
                                                                    : img + QStringLiteral(" ");
            }
        }
        if (query.hasQueryItem(QStringLiteral("css")))
            imgs.prepend(QStringLiteral("<style>") + query.queryItemValue(QStringLiteral("css"), QUrl::FullyDecoded)
                         + QStringLiteral("</style>"));
        body = page(QStringLiteral("Images"), imgs);
        if (query.hasQueryItem(QStringLiteral("quirks")))
            body.remove(0, int(qstrlen("<!DOCTYPE html>")));
    } else if (path == QLatin1String("/tall")) {
        // A page h pixels tall: a red band at its top, a blue one at its bottom.
        const int h = qBound(300, query.queryItemValue(QStringLiteral("h")).toInt(), 200000);
        body = page(QStringLiteral("Tall"),
                    QStringLiteral("<style>body{margin:0}div{height:100px}</style><div style=\"background:#ff0000\"></div>"
                                   "<div style=\"height:%1px;background:#ffffff\"></div><div style=\"background:#0000ff\"></div>")
                        .arg(h - 200));
    } else if (path == QLatin1String("/stripes")) {
        // A page h pixels tall in 8-pixel stripes of eight greys, darkest first (stripeGrey).
        const int h = qBound(300, query.queryItemValue(QStringLiteral("h")).toInt(), 200000);
        QStringList stops;
        for (int i = 0; i < 8; ++i)
            stops << QStringLiteral("%1 %2px %3px").arg(QColor::fromRgb(stripeGrey(i), stripeGrey(i), stripeGrey(i)).name()).arg(i * 8).arg(i * 8 + 8);
        body = page(QStringLiteral("Stripes"),
                    QStringLiteral("<style>body{margin:0}div{height:%1px;background:repeating-linear-gradient(to bottom,%2)}</style><div></div>")
                        .arg(h)
                        .arg(stops.join(QLatin1Char(','))));
    } else if (path == QLatin1String("/lines")) {
        // n numbered paragraphs: a document of many printed pages.
        const int n = qBound(1, query.queryItemValue(QStringLiteral("n")).toInt(), 400000);
        QString lines;
        for (int i = 1; i <= n; ++i)
            lines += QStringLiteral("<p>Line %1</p>").arg(i);
        body = page(QStringLiteral("Lines"), lines);
    } else if (path == QLatin1String("/popchain")) {
        // Opens 25 windows without a click, then replaces itself with the next hop.
        const int hop = query.queryItemValue(QStringLiteral("hop")).toInt();
        const int of = query.queryItemValue(QStringLiteral("of")).toInt();
        QString js = QStringLiteral("for(var i=0;i<25;i++)window.open('/popwin?h=%1x'+i);").arg(hop);
        if (hop < of)
            js += QStringLiteral("location.replace('/popchain?hop=%1&of=%2');").arg(hop + 1).arg(of);
        body = page(QStringLiteral("Hop %1").arg(hop), QStringLiteral("<script>") + js + QStringLiteral("</script>"));
    } else if (path == QLatin1String("/popwin")) {
        body = page(QStringLiteral("Window ") + query.queryItemValue(QStringLiteral("h")));
    } else if (path == QLatin1String("/popnest")) {
        // Opens fan windows of the level below, each of which does the same.
        const int level = query.queryItemValue(QStringLiteral("level")).toInt();
        const int fan = query.queryItemValue(QStringLiteral("fan")).toInt();
        const QString js = level > 0 ? QStringLiteral("for(var i=0;i<%1;i++)window.open('/popnest?level=%2&fan=%1&i='+i);")
                                           .arg(fan)
                                           .arg(level - 1)
                                     : QString();
        body = page(QStringLiteral("Nest %1").arg(level), QStringLiteral("<script>") + js + QStringLiteral("</script>"));
    } else if (path == QLatin1String("/download")) {
        const int bytes = qMax(0, query.queryItemValue(QStringLiteral("bytes")).toInt());
        const QString name = query.hasQueryItem(QStringLiteral("name")) ? query.queryItemValue(QStringLiteral("name"), QUrl::FullyDecoded)
                                                                         : QStringLiteral("file.bin");
        type = "application/octet-stream";
        // A name with a quote can only be said in its encoded form.
        extra = name.contains(QLatin1Char('"'))
                    ? "Content-Disposition: attachment; filename*=UTF-8''" + QUrl::toPercentEncoding(name) + "\r\n"
                    : "Content-Disposition: attachment; filename=\"" + name.toUtf8() + "\"\r\n";
        body = downloadBytes(bytes);
    } else if (path == QLatin1String("/doc.pdf")) {
        type = "application/pdf";
        if (query.hasQueryItem(QStringLiteral("attachment")))
            extra = "Content-Disposition: attachment; filename=\"attached.pdf\"\r\n";
        body = pdfBytes();
    } else if (path == QLatin1String("/title")) {
        body = page(query.queryItemValue(QStringLiteral("t"), QUrl::FullyDecoded));
    } else if (path == QLatin1String("/long-title")) {
        const int n = query.queryItemValue(QStringLiteral("n")).toInt();
        QString title;
        for (int i = 0; i < n; ++i)
            title += QChar(u'A' + i % 26);
        body = page(title);
    } else if (path == QLatin1String("/posted")) {
        body = page(QStringLiteral("Posted %1").arg(m_posts.value(path)));
    } else if (path == QLatin1String("/page")) {
        body = page(QStringLiteral("Page ") + query.queryItemValue(QStringLiteral("id")));
    } else if (path == QLatin1String("/notitle")) {
        body = page(QString());
    } else {
        QFile file(QStringLiteral(VELMO_FIXTURES_DIR) + path);
        if (!path.contains(QLatin1String("..")) && file.open(QIODevice::ReadOnly)) {
            body = file.readAll();
            type = contentType(path);
            extra += "Last-Modified: Tue, 01 Dec 2026 08:00:00 GMT\r\n";
        } else {
            status = "404 Not Found";
            body = page(QStringLiteral("Not found"));
        }
    }
    socket->write(httpHead(status, type, body.size(), extra) + body);
    socket->disconnectFromHost();
}
