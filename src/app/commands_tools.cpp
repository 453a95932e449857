#include "app/addressrow.h"
#include "app/commands.h"
#include "page/session.h"
#include "platform/paths.h"
#include "platform/shell.h"

#include <QCoreApplication>

void wireToolCommands(Commands &c)
{
    Shell &shell = c.session.shell;
    AddressRow &address = c.address;
    c.on("OpenUrlStyle", [&shell, &address] { shell.open(address.addressText()); });
    c.on("LoadMe", [&shell] { shell.start(QCoreApplication::applicationFilePath(), {}); });
    c.onButton("Command6", [&shell] { shell.open(Paths::appDir() + QStringLiteral("/Download/")); });
}
