#pragma once
#include <QWebEngineUrlRequestInterceptor>
#include <atomic>
#include <functional>

// Refuses the requests of one page that its download-control flag word forbids: video,
// background sound, plugin objects and (besides the engine's own image switch)
// pictures. Without a flag word (-1) everything passes.
// Also notes how each main document was asked for.
class LoadPolicy : public QWebEngineUrlRequestInterceptor
{
public:
    void setFlags(int flags) { m_flags.store(flags); }
    int flags() const { return m_flags.load(); }
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
    // Told of every request for a page's main document, and whether it sends a form
    // (POST); called on the user-interface thread.
    std::function<void(const QUrl &url, bool post)> mainFrameRequest;

    // The engine reports <audio> and <video> alike as media; a sound file's extension
    // tells a background sound from a video.
    static bool isSoundAddress(const QUrl &url);
    // Whether a request of this type to url may go out under flags.
    static bool allows(int flags, QWebEngineUrlRequestInfo::ResourceType type, const QUrl &url);

private:
    std::atomic<int> m_flags{-1};
};
