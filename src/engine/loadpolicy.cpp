#include "engine/loadpolicy.h"

#include "engine/downloadcontrol.h"

#include <QFileInfo>
#include <QSet>
#include <QUrl>

bool LoadPolicy::isSoundAddress(const QUrl &url)
{
    static const QSet<QString> sounds = {
        QStringLiteral("mp3"), QStringLiteral("wav"), QStringLiteral("ogg"), QStringLiteral("oga"),
        QStringLiteral("opus"), QStringLiteral("m4a"), QStringLiteral("aac"), QStringLiteral("flac"),
        QStringLiteral("mid"), QStringLiteral("midi"), QStringLiteral("wma"), QStringLiteral("weba"),
        QStringLiteral("amr"), QStringLiteral("ape"),
    };
    return sounds.contains(QFileInfo(url.path()).suffix().toLower());
}

bool LoadPolicy::allows(int flags, QWebEngineUrlRequestInfo::ResourceType type, const QUrl &url)
{
    using namespace DownloadControl;
    if (flags < 0)
        return true;
    switch (type) {
    case QWebEngineUrlRequestInfo::ResourceTypeMedia:
        return isSoundAddress(url) ? (flags & kBgSounds) != 0 : (flags & kVideos) != 0;
    case QWebEngineUrlRequestInfo::ResourceTypeImage:
        return (flags & kImages) != 0;
    case QWebEngineUrlRequestInfo::ResourceTypeObject:
    case QWebEngineUrlRequestInfo::ResourceTypePluginResource:
        return (flags & (kNoJava | kNoRunActiveX | kNoDownloadActiveX)) == 0;
    default:
        return true;
    }
}

void LoadPolicy::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame && mainFrameRequest)
        mainFrameRequest(info.requestUrl(), info.requestMethod() == "POST");
    if (!allows(m_flags.load(), info.resourceType(), info.requestUrl()))
        info.block(true);
}
