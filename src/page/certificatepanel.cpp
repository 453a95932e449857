#include "page/certificatepanel.h"

#include "engine/siterequests.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QStringList CertificatePanel::reasons(const CertificateProblem &problem, const QString &host)
{
    QStringList reasons;
    if (problem.untrusted)
        reasons << QStringLiteral("证书不是由受信任的机构签发的（可能是网站自己签发的）。");
    if (problem.expired)
        reasons << QStringLiteral("证书已于 %1 过期。").arg(problem.validUntil.toLocalTime().toString(QStringLiteral("yyyy-MM-dd")));
    if (problem.notYetValid)
        reasons << QStringLiteral("证书要到 %1 才生效（也可能是这台电脑的日期不对）。")
                       .arg(problem.validFrom.toLocalTime().toString(QStringLiteral("yyyy-MM-dd")));
    if (problem.otherName)
        reasons << QStringLiteral("证书是为 %1 签发的，不是为 %2。").arg(problem.names.mid(0, 5).join(QStringLiteral("、")), host);
    if (reasons.isEmpty())
        reasons << QStringLiteral("证书有误：%1").arg(problem.engineText.isEmpty() ? QStringLiteral("原因不明") : problem.engineText);
    return reasons;
}

namespace {

QString reasonsFor(const CertificateProblem &problem, const QString &host)
{
    QStringList reasons = CertificatePanel::reasons(problem, host);
    for (QString &reason : reasons)
        reason.prepend(QStringLiteral("• "));
    return reasons.join(QLatin1Char('\n'));
}

} // namespace

CertificatePanel::CertificatePanel(QWidget *page)
    : QFrame(page)
{
    setObjectName(QStringLiteral("CertificatePanel"));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    m_heading = new QLabel(QStringLiteral("此网站的安全证书有问题，连接不安全"), this);
    QFont big = m_heading->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    m_heading->setFont(big);
    m_text = new QLabel(this);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_back = new QPushButton(this);
    m_back->setDefault(true);
    m_goOn = new QPushButton(this);
    QPalette red = m_goOn->palette();
    red.setColor(QPalette::ButtonText, Qt::darkRed);
    m_goOn->setPalette(red);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addStretch(1);
    buttons->addWidget(m_goOn);
    auto *column = new QVBoxLayout;
    column->addWidget(m_heading);
    column->addSpacing(12);
    column->addWidget(m_text);
    column->addSpacing(12);
    column->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(column, 8);
    layout->addStretch(1);
    column->insertStretch(0, 1);
    column->addStretch(3);
    connect(m_back, &QPushButton::clicked, this, [this] {
        hide();
        emit answered(false, !m_shownBefore);
    });
    connect(m_goOn, &QPushButton::clicked, this, [this] {
        hide();
        emit answered(true, false);
    });
    hide();
}

void CertificatePanel::show(const CertificateProblem &problem)
{
    m_problem = problem;
    const QString host = problem.url.host();
    QString text = QStringLiteral("您要访问的是 %1。它出示的安全证书不能证明您连上的就是这个网站：\n\n").arg(host)
                   + reasonsFor(problem, host)
                   + QStringLiteral("\n\n有人可能在冒充此网站，窃取您输入的密码、银行卡号等信息。");
    if (problem.overridable)
        text += QStringLiteral("\n\n如果您确信这个网站可信，可以继续访问；在关闭浏览器之前，不再为此网站提示。");
    else
        text += QStringLiteral("\n\n此网站不允许忽略这个错误，无法继续访问。");
    m_text->setText(text);
    m_shownBefore = problem.shownBefore;
    m_back->setText(problem.shownBefore ? QStringLiteral("返回上一页") : QStringLiteral("返回"));
    m_goOn->setText(QStringLiteral("继续访问 %1（不安全）").arg(host));
    m_goOn->setVisible(problem.overridable);
    QFrame::show();
    raise();
    m_back->setFocus();
}

void CertificatePanel::place(const QRect &viewRect)
{
    // The view's top lies above the page window (see FormWeb's layout).
    setGeometry(viewRect.intersected(parentWidget()->rect()));
}
