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
#include "store/Module1.h"

void ConnectCommands(Form1& form) {
    form.SetLoginOpener([](Form1& owner) {
        Form2 login(owner);
        login.Form_Load();
        login.exec();
    });
    // Every command acts on the member logged in: with nobody logged in there is no member folder
    // to act on, and the command does nothing.
    auto forMember = [&form](void (*command)(Form1&)) {
        return [&form, command] {
            if (form.module().LoggedIn()) {
                command(form);
            }
        };
    };
    auto* find = new FindCommand(form);
    QObject::connect(form.mnuFind, &QAction::triggered, find, [&form, find] {
        if (form.module().LoggedIn()) {
            find->mnuFind_Click();
        }
    });
    QObject::connect(form.mnuLogoff, &QAction::triggered, &form, [&form] {
        if (form.module().LoggedIn()) {
            form.mnuLogoff_Click();
        }
    });
    QObject::connect(form.mnuPasswd, &QAction::triggered, &form, forMember(mnuPasswd_Click));
    // The menu's Exit presses the Exit button, so both run the same handler.
    QObject::connect(form.mnuExit2, &QAction::triggered, &form, [&form] { form.Command4->click(); });
    QObject::connect(form.mnuExportPage, &QAction::triggered, &form, forMember(mnuExportPage_Click));
    QObject::connect(form.mnuExportAll, &QAction::triggered, &form, forMember(mnuExportAll_Click));
    QObject::connect(form.mnuDelExports, &QAction::triggered, &form, forMember(mnuDelExports_Click));
    QObject::connect(form.mnuDeleteItem, &QAction::triggered, &form, forMember(mnuDeleteItem_Click));
    QObject::connect(form.mnuDelPage, &QAction::triggered, &form, forMember(mnuDelPage_Click));
    QObject::connect(form.mnuDelAll, &QAction::triggered, &form, forMember(mnuDelAll_Click));
    QObject::connect(form.mnuDelUser, &QAction::triggered, &form, forMember(mnuDelUser_Click));
}
