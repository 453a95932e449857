#pragma once
#include <QDateTime>
#include <QDialog>
#include <QString>
#include <optional>

#include "engine/siterequests.h"

class QLineEdit;

// What the browser knows of the document in a page; bytes < 0 and an invalid date mean
// neither the engine nor the reply said.
struct PageFacts {
    QString title;
    QString address;
    QString scheme;
    QString type;
    QString charset;
    qint64 bytes = -1;
    QDateTime modified;
    // The certificate problem the user chose to go past for this site in this run.
    std::optional<CertificateProblem> certificate;

    // The protocol and the security of the connection, as the dialog says them.
    QString protocolText() const;
    QString securityText() const;
    QString sizeText() const;
    QString modifiedText() const;
};

// The page properties dialog "页面属性": every field read only, so it can be selected
// and copied. It opens at once and fills in when the page answers.
class PageProperties : public QDialog
{
    Q_OBJECT
public:
    static const QString kCaption;
    explicit PageProperties(QWidget *parent = nullptr);

    void fill(const PageFacts &facts);
    // The field for a row ("title", "address", "protocol", "type", "size", "modified",
    // "security").
    QLineEdit *field(const QString &name) const;
};
