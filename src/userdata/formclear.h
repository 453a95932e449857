#pragma once
#include <QDialog>
#include <QVector>

class QCheckBox;
class QPushButton;

// The one-off clean-up dialog "清除历史记录      (一次性)": ten boxes in two columns
// (Chk 0-4 on the left, 5-9 on the right), CheckAll ticking or unticking all ten, OK and
// Cancel. It only asks; the caller removes what was ticked, in box order, once it closed
// with OK.
class Formclear : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kBoxes = 10;
    static const QString kCaption;

    explicit Formclear(QWidget *parent = nullptr);

    QCheckBox *Chk(int index) const { return m_chk.value(index); }
    QCheckBox *CheckAll() const { return m_checkAll; }
    QPushButton *Command1() const { return m_ok; }
    QPushButton *Command2() const { return m_cancel; }
    // The ticked boxes, lowest first.
    QVector<int> ticked() const;

private:
    QVector<QCheckBox *> m_chk;
    QCheckBox *m_checkAll = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
