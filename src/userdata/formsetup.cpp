#include "userdata/formsetup.h"

#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "tabs/sites.h"
#include "userdata/options.h"
#include "userdata/settingsstartup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace SettingKeys;

namespace {
const char *const kCaptions[FormSetup::kBoxes] = {
    "安全看图模式：拦截所有广告、电影音乐（刷新以后生效）",
    "普通广告拦截：拦截部分弹窗广告（立即生效）。",
    "允许在后台打开弹出的新窗口（立即生效）。",
    "自动下载网页中的图片到本地硬盘（不超过 2GB）。",
    "启动时打开上次关闭时的网页",
};
} // namespace

FormSetup::FormSetup(SettingsStore &store, Options &options, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , m_options(options)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("FormSetup"));
    setWindowTitle(QStringLiteral("系统设置中心"));
    setModal(true);

    auto *frame2 = new QGroupBox(QStringLiteral("首页"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    m_comUrl = new QComboBox(frame2);
    m_comUrl->setObjectName(QStringLiteral("ComUrl"));
    m_comUrl->setEditable(true);
    m_comUrl->setInsertPolicy(QComboBox::NoInsert);
    m_comUrl->setMinimumWidth(420);
    m_comUrl->setEditText(Sites::kDefaultHomePage);
    (new QVBoxLayout(frame2))->addWidget(m_comUrl);

    auto *frame1 = new QGroupBox(QStringLiteral("选项"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto *options1 = new QVBoxLayout(frame1);
    for (int i = 0; i < kBoxes; ++i) {
        m_chk[i] = new QCheckBox(QString::fromUtf8(kCaptions[i]), frame1);
        m_chk[i]->setObjectName(QStringLiteral("Chk"));
        m_chk[i]->setProperty("index", i);
        options1->addWidget(m_chk[i]);
    }

    m_ok = new QPushButton(QStringLiteral("确定(&Y)"), this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    m_cancel->setObjectName(QStringLiteral("Command2"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame2);
    layout->addWidget(frame1);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &FormSetup::ok);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    load();
}

void FormSetup::load()
{
    m_comUrl->setEditText(SettingsStartup::homePage(m_store));
    m_chk[0]->setChecked(m_options.safePictureMode() != 0);
    const Key *keys[kBoxes - 1] = {&kAdBlock, &kBackgroundTabs, &kAutoDownload, &kLastSession};
    for (int i = 0; i < kBoxes - 1; ++i) {
        int v = 0;
        m_store.readInt(*keys[i], v);
        m_chk[i + 1]->setChecked(v != 0);
    }
}

void FormSetup::ok()
{
    const auto bit = [this](int i) { return m_chk[i]->isChecked() ? 1 : 0; };
    m_options.setSafePictureMode(bit(0));
    m_options.setAdBlock(bit(1));
    m_options.setOpenInBackground(bit(2));
    m_options.setAutoDownloadPictures(bit(3));
    m_options.setReopenLastSession(bit(4));
    const QString home = m_comUrl->currentText();
    m_options.setHomePageUrl(home);
    const auto text = [&](int i) { return QString::number(bit(i)); };
    const bool saved = m_store.write(kSetup, {{kHomePage.key, home},
                                              {kSafeMode.key, text(0)},
                                              {kAdBlock.key, text(1)},
                                              {kBackgroundTabs.key, text(2)},
                                              {kAutoDownload.key, text(3)},
                                              {kLastSession.key, text(4)}});
    if (!saved) {
        // The switches already hold the new values for this run; only keeping them
        // across a restart failed.
        m_dialogs.warning(this, windowTitle(),
                          QStringLiteral("设置无法保存到 %1，本次运行中的新设置仍然有效，但重新启动后会丢失。")
                              .arg(m_store.path()));
    }
    accept();
}
