#include "page/pageproperties.h"
#include "page/certificatepanel.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QLocale>
#include <QUrl>
#include <QVBoxLayout>

const QString PageProperties::kCaption = QStringLiteral("页面属性");

namespace {

const QString kUnknown = QStringLiteral("未知");

const struct {
    const char *name;
    const char *label;
} kRows[] = {{"title", "标题："},    {"address", "地址："},       {"protocol", "协议："}, {"type", "类型："},
             {"size", "大小："},     {"modified", "修改日期："}, {"security", "安全："}};

} // namespace

QString PageFacts::protocolText() const
{
    if (scheme == QLatin1String("http"))
        return QStringLiteral("超文本传输协议 (HTTP)");
    if (scheme == QLatin1String("https"))
        return QStringLiteral("安全超文本传输协议 (HTTPS)");
    if (scheme == QLatin1String("file"))
        return QStringLiteral("本地文件 (file)");
    return scheme.isEmpty() ? kUnknown : scheme;
}

QString PageFacts::securityText() const
{
    // The engine refuses a page whose certificate fails unless the user chose to go on.
    if (scheme == QLatin1String("https") && certificate)
        return QStringLiteral("不安全：网站证书有问题（%1），你选择了在本次运行中继续访问")
            .arg(CertificatePanel::reasons(*certificate, QUrl(address).host()).join(QString()).chopped(1).replace(QStringLiteral("。"), QStringLiteral("；")));
    if (scheme == QLatin1String("https"))
        return QStringLiteral("已加密，网站证书已通过验证");
    if (scheme == QLatin1String("http"))
        return QStringLiteral("未加密，传输的内容可能被他人看到");
    if (scheme == QLatin1String("file"))
        return QStringLiteral("本机上的文件");
    return kUnknown;
}

QString PageFacts::sizeText() const
{
    if (bytes < 0)
        return kUnknown;
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    const QString exact = chinese.toString(bytes) + QStringLiteral(" 字节");
    return bytes < 1024 ? exact : chinese.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat) + QStringLiteral("（") + exact + QStringLiteral("）");
}

QString PageFacts::modifiedText() const
{
    return modified.isValid() ? modified.toLocalTime().toString(QStringLiteral("yyyy年M月d日 HH:mm:ss")) : kUnknown;
}

PageProperties::PageProperties(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PageProperties"));
    setWindowTitle(kCaption);
    setModal(true);
    auto *form = new QFormLayout;
    for (const auto &row : kRows) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(row.name));
        box->setReadOnly(true);
        box->setMinimumWidth(420);
        box->setText(QStringLiteral("……"));
        form->addRow(QString::fromUtf8(row.label), box);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QLineEdit *PageProperties::field(const QString &name) const
{
    return findChild<QLineEdit *>(name);
}

void PageProperties::fill(const PageFacts &facts)
{
    const auto set = [this](const char *name, const QString &text) {
        QLineEdit *box = field(QString::fromLatin1(name));
        box->setText(text);
        box->setCursorPosition(0);
        box->setToolTip(text.toHtmlEscaped());
    };
    set("title", facts.title.isEmpty() ? QStringLiteral("（无标题）") : facts.title);
    set("address", facts.address.isEmpty() ? kUnknown : facts.address);
    set("protocol", facts.protocolText());
    set("type", facts.type.isEmpty() ? kUnknown : facts.type + (facts.charset.isEmpty() ? QString() : QStringLiteral("; ") + facts.charset));
    set("size", facts.sizeText());
    set("modified", facts.modifiedText());
    set("security", facts.securityText());
}
