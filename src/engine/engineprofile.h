#pragma once
#include <QString>
#include <memory>

class QLockFile;
class QWebEngineProfile;

// The browser's persistent engine profile. Two running instances must never share live
// storage (the second one's local storage would be lost silently), so each instance
// locks a storage folder: the first takes "default", later ones "instance-2" and up,
// and only when all are taken does an instance run off the record.
class EngineProfile
{
public:
    EngineProfile();
    ~EngineProfile();

    QWebEngineProfile *profile() const { return m_profile; }
    QString storagePath() const { return m_storage; }
    bool offTheRecord() const;
    // The first instance's storage ("default"): the one that takes links for the user.
    bool firstInstance() const;
    // Empties the profile's HTTP cache when the browser next starts, before the engine
    // opens it: the engine's own clearing at run time leaves every page load started
    // meanwhile waiting for good. False when that could not be arranged. A profile off
    // the record keeps its cache in memory only, gone at exit anyway.
    static bool clearCacheAtNextStart(QWebEngineProfile *profile);
    // Every cookie in the profile's store, and the links it remembers as visited.
    static void forgetCookies(QWebEngineProfile *profile);
    static void forgetVisitedLinks(QWebEngineProfile *profile);
    // Everything else sites keep (local and session storage, IndexedDB, service workers
    // and their cache storage, web SQL, file systems) goes when the browser next starts,
    // before the engine opens it: it has those files open while it runs. False when
    // that could not be arranged.
    static bool clearSiteDataAtNextStart(QWebEngineProfile *profile);
    // The engine's Chromium version ("102.0.5005.177").
    static QString chromiumVersion();

private:
    void setLanguage();
    void removeLeftoverPartials(const QString &base);
    std::unique_ptr<QLockFile> m_lock;
    QWebEngineProfile *m_profile = nullptr;
    QString m_storage;
};
