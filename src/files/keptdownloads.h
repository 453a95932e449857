#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <optional>

// The downloads window's list as kept between runs: each transfer's file, address, size,
// how it ended and when. A file that is not such a list reads as nothing.
struct KeptDownload {
    enum class End { Done, Failed, Cancelled };
    QString path;
    QString address;
    qint64 size = 0;    // bytes it had
    qint64 total = -1;  // -1: never known
    End end = End::Failed;
    QString failure;
    QDateTime when;
    bool operator==(const KeptDownload &) const = default;
};

namespace KeptDownloads {
// The newest this many are kept.
constexpr int kMost = 200;
QByteArray toBytes(const QVector<KeptDownload> &rows);
std::optional<QVector<KeptDownload>> fromBytes(const QByteArray &bytes);
} // namespace KeptDownloads
