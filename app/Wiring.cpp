#include "app/Wiring.h"

#include <QAction>
#include <QPushButton>

#include "deletion/ClearAllPages.h"
#include "deletion/ClearPage.h"
#include "deletion/DeleteExports.h"
#include "deletion/DeleteItem.h"
#include "deletion/DeleteMember.h"
#include "diary/Form1.h"
#include "export/ExportAll.h"
#include "export/ExportPage.h"
#include "login/ChangePassword.h"
#include "login/Form2.h"
#include "search/FindCommand.h"

void ConnectCommands(Form1& form) {
    form.SetLoginOpener([](Form1& owner) {
        Form2 login(owner);
        login.Form_Load();
        login.exec();
    });
    auto* find = new FindCommand(form);
    QObject::connect(form.mnuFind, &QAction::triggered, find, &FindCommand::mnuFind_Click);
    QObject::connect(form.mnuLogoff, &QAction::triggered, &form, [&form] { form.mnuLogoff_Click(); });
    QObject::connect(form.mnuPasswd, &QAction::triggered, &form, [&form] { mnuPasswd_Click(form); });
    // The menu's Exit presses the Exit button, so both run the same handler.
    QObject::connect(form.mnuExit2, &QAction::triggered, &form, [&form] { form.Command4->click(); });
    QObject::connect(form.mnuExportPage, &QAction::triggered, &form, [&form] { mnuExportPage_Click(form); });
    QObject::connect(form.mnuExportAll, &QAction::triggered, &form, [&form] { mnuExportAll_Click(form); });
    QObject::connect(form.mnuDelExports, &QAction::triggered, &form, [&form] { mnuDelExports_Click(form); });
    QObject::connect(form.mnuDeleteItem, &QAction::triggered, &form, [&form] { mnuDeleteItem_Click(form); });
    QObject::connect(form.mnuDelPage, &QAction::triggered, &form, [&form] { mnuDelPage_Click(form); });
    QObject::connect(form.mnuDelAll, &QAction::triggered, &form, [&form] { mnuDelAll_Click(form); });
    QObject::connect(form.mnuDelUser, &QAction::triggered, &form, [&form] { mnuDelUser_Click(form); });
}
