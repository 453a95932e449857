#include "app/commands.h"
#include "app/frmmain.h"
#include "page/session.h"
#include "userdata/options.h"

void wireUserdataCommands(Commands &c)
{
    Options &options = c.session.options;
    Frmmain &window = c.window;
    c.on("StartPop", [&options](bool checked) { options.setAdBlock(checked ? 1 : 0); });
    c.on("StartSafe", [&options](bool checked) { options.setSafePictureMode(checked ? 1 : 0); });
    c.on("zhushouopt", [&window] { window.openSettingsCentre(); });

    // The signal light and the check marks follow the switches at once, whoever sets them.
    c.toolbar.button("Command11")->setEnabled(true);
    Toolbar &toolbar = c.toolbar;
    QAction *safe = c.menus.action(QStringLiteral("StartSafe"));
    QAction *pop = c.menus.action(QStringLiteral("StartPop"));
    const auto show = [&options, &toolbar, safe, pop] {
        toolbar.showSafeMode(options.safePictureMode() != 0);
        safe->setChecked(options.safePictureMode() != 0);
        pop->setChecked(options.adBlock() != 0);
    };
    QObject::connect(&options, &Options::changed, safe, show);
    show();
}
