#pragma once
#include <QMap>
#include <QObject>
#include <QString>

#include "tabs/pagetext.h"

class QLabel;
class QLineEdit;
class QWidget;
class TabBook;

// The widgets of the tab row: one label per slot (TextLab), the "+" label (LabAdd) and
// the "X" close button (TextClose). It draws what TabBook says and reports the mouse;
// the main window decides what a click means.
class TabStrip : public QObject
{
    Q_OBJECT
public:
    explicit TabStrip(QWidget *row);

    // Label of a slot, created on first use (label 0 exists from the start).
    QLineEdit *label(int slot);
    QLineEdit *existingLabel(int slot) const { return m_labels.value(slot, nullptr); }
    QLabel *addLabel() const { return m_add; }
    QLineEdit *closeButton() const { return m_close; }

    // Empty, visible label for a new tab.
    void resetLabel(int slot);
    // Removes a closed slot's label (label 0 cannot go and is hidden instead).
    void removeLabel(int slot);
    void setLabel(int slot, const PageText::Label &text);
    QString labelText(int slot) const;
    QString labelToolTip(int slot) const;
    bool looksActive(int slot) const;

    // Lays the labels out for the book in a client width (twips) and marks the active one.
    void arrange(const TabBook &book, int clientWidthTwips);

    // Moves the close button (twips); -1000, -2000 and -5000 park it out of sight.
    void moveCloseButton(int leftTwips);

    static constexpr int kActiveBackground = 0xFFFFFF;
    static constexpr int kInactiveBackground = 0x0000FF; // blue

signals:
    void labelReleased(int slot, Qt::MouseButton button);
    void labelDoubleClicked(int slot);
    void labelHovered(int slot);
    void addClicked();
    void closeClicked();
    // Links or files dropped on the row, each to open in a tab of its own.
    void addressesDropped(const QStringList &addresses);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setColours(QLineEdit *label, bool active);

    QWidget *m_row;
    QMap<int, QLineEdit *> m_labels;
    QLabel *m_add = nullptr;
    QLineEdit *m_close = nullptr;
};
