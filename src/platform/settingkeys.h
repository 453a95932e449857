#pragma once
#include <QString>

// Every section and key of the settings store, declared once.
namespace SettingKeys {

struct Key {
    QString section;
    QString key;
};

inline const QString kSetup = QStringLiteral("setup");
inline const QString kClosedPages = QStringLiteral("CancelPage");

inline const Key kHomePage{kSetup, QStringLiteral("Homepage")};
inline const Key kSafeMode{kSetup, QStringLiteral("Pop")};
inline const Key kAdBlock{kSetup, QStringLiteral("JumpWindows")};
inline const Key kBackgroundTabs{kSetup, QStringLiteral("Topme")};
inline const Key kAutoDownload{kSetup, QStringLiteral("Download")};
// 1: a normal start opens the tabs of the last normal exit.
inline const Key kLastSession{kSetup, QStringLiteral("LastSession")};
// Megabytes the browser may take before pages out of sight sleep (absent or 0: no limit).
inline const Key kMemoryLimit{kSetup, QStringLiteral("MemoryLimitMB")};
inline const Key kPictureFolder{QStringLiteral("DownloadImag"), QStringLiteral("Path")};
// The folder a file was last downloaded to.
inline const Key kDownloadFolder{QStringLiteral("DownloadFile"), QStringLiteral("Path")};
inline const Key kFirstRunMarker{QStringLiteral("toolstimework"), QStringLiteral("softrig")};
inline const Key kClosedCount{kClosedPages, QStringLiteral("Count")};
// Records are "Page_0" .. "Page_499".
inline QString closedRecordKey(int number) { return QStringLiteral("Page_%1").arg(number); }

} // namespace SettingKeys
