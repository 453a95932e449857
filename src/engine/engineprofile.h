#pragma once
#include <QString>
#include <memory>

#include "engine/certificateexceptions.h"
#include "engine/enginedownloads.h"
#include "engine/pagecontrol.h"
#include "engine/printkeeper.h"

class QLockFile;
class QWebEngineProfile;

// The browser's persistent engine profile. Two running instances must never share live
// storage (the second one's local storage would be lost silently), so each instance
// locks a storage folder: the first takes "default", later ones "instance-2" and up,
// and only when all are taken does an instance run off the record. It makes the pages of
// the profile, and holds what they share: the downloads dispatcher and the print keeper.
class EngineProfile : public PageEngine
{
public:
    EngineProfile();
    ~EngineProfile() override;

    QWebEngineProfile *profile() const { return m_profile; }
    PrintKeeper &printKeeper() { return m_printKeeper; }

    // PageEngine
    PageControl *newPage(QWidget *viewParent, QObject *parent) override;
    EngineDownloads *downloads() override { return m_downloads; }
    QString instanceName() const override;
    void forgetCookies() override;
    void forgetVisitedLinks() override;
    // Clearing the cache or site data waits for the next start: the engine's own clearing
    // at run time leaves every page load started meanwhile waiting for good, and it has
    // the storage files open while it runs. A profile off the record keeps both in memory
    // only, gone at exit anyway.
    bool clearSiteDataAtNextStart() override;
    bool clearCacheAtNextStart() override;
    void setNoticeShower(std::function<void(const SiteNotice &notice)> show) override;

    QString storagePath() const { return m_storage; }
    bool offTheRecord() const;
    // The first instance's storage ("default"): the one that takes links for the user.
    bool firstInstance() const;
    // The engine's Chromium version ("102.0.5005.177").
    static QString chromiumVersion();

private:
    void setLanguage();
    void removeLeftoverPartials(const QString &base);
    std::unique_ptr<QLockFile> m_lock;
    QWebEngineProfile *m_profile = nullptr;
    EngineDownloads *m_downloads = nullptr;
    PrintKeeper m_printKeeper;
    CertificateExceptions m_certificates;
    QString m_storage;
};
