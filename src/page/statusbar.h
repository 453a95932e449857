#pragma once
#include <QDate>
#include <QObject>
#include <QString>
#include <QVector>

class QLabel;
class QWidget;

// The status bar along the bottom of a page window: nine fields Lab0..Lab8 at fixed
// positions in twips. The page window fills them by meaning; only this class knows
// which field is which and where it sits.
//   Lab0 status text (hovered link, messages)   Lab2 pictures found on the page
//   Lab4 the date, then the load progress       Lab6 the product name (takes the rest)
//   Lab8 the saved-picture counter, which doubles as a red progress bar
class StatusBar : public QObject
{
    Q_OBJECT
public:
    StatusBar(QWidget *page, const QDate &today);

    void setStatusText(const QString &text);
    QString statusText() const;
    void setPictureCount(int count);
    // "发现图片：N" (large pictures met) and "图片总数：N" (pictures in the gallery).
    void showPicturesFound(int count);
    void showPictureTotal(int count);
    QString pictureCount() const;
    void setProgress(const QString &text);
    QString progress() const;
    QString productName() const;
    // The page's zoom takes the product name's place while it is not 100 %.
    void showZoom(int percent);
    // Back to "  自动下载图片 0" on white at its full width.
    void resetSavedCounter();
    QString savedCounter() const;
    // The counter as a red progress bar: step 0 to 23 of its full width, no caption.
    void showSaveProgress(int step);
    // The counter's final caption at its full width; the colour stays.
    void showSavedCaption(const QString &caption);

    // The fields' places for a page window of this size (pixels).
    void layout(int width, int height);
    // Height of the bar in twips.
    static constexpr int kHeight = 255;

private:
    QVector<QLabel *> m_lab;
};
