#pragma once
#include <QString>
#include <QStringList>

// What the browser was started with. The addresses open as tabs, the first one active.
// One argument is opened as it stands (double quotes removed); several become several
// tabs when each is an address or a file, else they are one text split by the shell (a
// path with blanks, unquoted) and are opened joined again.
struct CommandLine {
    enum Action { Run, ShowHelp, ShowVersion, Refused };
    Action action = Run;
    QStringList addresses;
    QString message; // help, version or the reason for refusing, in the user's language

    // arguments includes the program name, as QCoreApplication::arguments() has it.
    static CommandLine parse(const QStringList &arguments, bool chinese);
    // An address with a scheme, a host name, or a file or folder that exists.
    static bool looksLikeAddress(const QString &text);
};
