#pragma once
#include <QObject>
#include <QString>

// The option switches every part of the browser reads: one object per process (or per
// test), handed to whoever needs it. Each switch is 0 or 1: any number other than 0
// (a hand-edited "2" in the store, say) means on. HomePageUrl is text.
class Options : public QObject
{
    Q_OBJECT
public:
    explicit Options(QObject *parent = nullptr) : QObject(parent) {}

    int safePictureMode() const { return m_safePictureMode; }
    int adBlock() const { return m_adBlock; }
    int openInBackground() const { return m_openInBackground; }
    int autoDownloadPictures() const { return m_autoDownloadPictures; }
    QString homePageUrl() const { return m_homePageUrl; }
    // A normal start opens the tabs a normal exit left.
    int reopenLastSession() const { return m_reopenLastSession; }

    void setSafePictureMode(int v) { set(m_safePictureMode, v); }
    void setAdBlock(int v) { set(m_adBlock, v); }
    void setOpenInBackground(int v) { set(m_openInBackground, v); }
    void setAutoDownloadPictures(int v) { set(m_autoDownloadPictures, v); }
    void setReopenLastSession(int v) { set(m_reopenLastSession, v); }
    void setHomePageUrl(const QString &url)
    {
        if (url != m_homePageUrl) {
            m_homePageUrl = url;
            emit changed();
        }
    }

signals:
    void changed();

private:
    void set(int &field, int v)
    {
        v = v != 0 ? 1 : 0;
        if (field != v) {
            field = v;
            emit changed();
        }
    }

    int m_safePictureMode = 0;
    int m_adBlock = 0;
    int m_openInBackground = 0;
    int m_autoDownloadPictures = 0;
    int m_reopenLastSession = 0;
    QString m_homePageUrl;
};
