#pragma once
#include <QDialog>

class Dialogs;
class Options;
class QCheckBox;
class QComboBox;
class QPushButton;
class SettingsStore;

// The settings centre "系统设置中心": the home page and four option boxes. Loads from the
// store and the live switches; OK applies to the switches and writes the store; Cancel
// changes nothing.
class FormSetup : public QDialog
{
    Q_OBJECT
public:
    FormSetup(SettingsStore &store, Options &options, Dialogs &dialogs, QWidget *parent = nullptr);

    QComboBox *ComUrl() const { return m_comUrl; }
    static constexpr int kBoxes = 5;
    QCheckBox *Chk(int i) const { return i >= 0 && i < kBoxes ? m_chk[i] : nullptr; }
    QPushButton *Command1() const { return m_ok; }
    QPushButton *Command2() const { return m_cancel; }

private:
    void load();
    void ok();

    SettingsStore &m_store;
    Options &m_options;
    Dialogs &m_dialogs;
    QComboBox *m_comUrl = nullptr;
    QCheckBox *m_chk[kBoxes] = {};
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
