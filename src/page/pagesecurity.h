#pragma once
#include <QString>
#include <optional>

#include "engine/siterequests.h"

// How the page in front came to the user, as the address box shows it beside the address:
// a verified encrypted connection, a plain one, or an encrypted one whose certificate
// the user chose to go past (or is asked about now).
struct PageSecurity {
    enum class Kind { None, Verified, Plain, Overridden };
    Kind kind = Kind::None;
    QString detail; // the mark's tool tip

    // location: the page's address; problem: the certificate problem the user went past
    // for its site, or the one the page asks about now.
    static PageSecurity of(const QString &location, const std::optional<CertificateProblem> &problem);
};
