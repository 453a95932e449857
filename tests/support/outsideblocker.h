#pragma once
#include <QHash>
#include <QMutex>
#include <QStringList>
#include <QUrl>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

// Keeps tests off the internet: every request to a host other than the local fixture
// server is refused, and its address recorded (decoded) so the test can check it.
class OutsideBlocker : public QWebEngineUrlRequestInterceptor
{
public:
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QUrl url = info.requestUrl();
        {
            QMutexLocker lock(&m_mutex);
            if (const auto to = m_redirects.constFind(url.host()); to != m_redirects.constEnd()) {
                info.redirect(*to);
                return;
            }
        }
        if (url.scheme().startsWith(QLatin1String("http")) && url.host() != QLatin1String("127.0.0.1")
            && url.host() != QLatin1String("localhost")) {
            info.block(true);
            QMutexLocker lock(&m_mutex);
            m_requested << QUrl::fromPercentEncoding(url.toEncoded());
            m_raw << QString::fromLatin1(url.toEncoded());
        }
    }
    QStringList requested() const
    {
        QMutexLocker lock(&m_mutex);
        return m_requested;
    }
    bool wasRequested(const QString &address) const { return requested().contains(address); }
    // As sent, percent-encoding and all.
    QStringList rawRequested() const
    {
        QMutexLocker lock(&m_mutex);
        return m_raw;
    }
    // Requests to host go to target instead (an outside site's page served locally).
    void redirectHost(const QString &host, const QUrl &target)
    {
        QMutexLocker lock(&m_mutex);
        m_redirects.insert(host, target);
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_requested.clear();
        m_raw.clear();
        m_redirects.clear();
    }

private:
    mutable QMutex m_mutex;
    QStringList m_requested;
    QStringList m_raw;
    QHash<QString, QUrl> m_redirects;
};
