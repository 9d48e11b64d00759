#include "app/Wiring.h"

#include <QAction>
#include <QPushButton>

#include "deletion/DeleteAllPages.h"
#include "deletion/DeleteAnItem.h"
#include "deletion/DeleteExportedPages.h"
#include "deletion/DeleteThisPage.h"
#include "deletion/DeleteUser.h"
#include "diary/DiaryWindow.h"
#include "export/ExportAllPages.h"
#include "export/ExportThisPage.h"
#include "login/ChangePassword.h"
#include "login/LoginWindow.h"
#include "login/ProtectMyDiary.h"
#include "login/UnprotectMyDiary.h"
#include "search/FindCommand.h"
#include "store/MemberSession.h"

namespace {

void connectMenuAndButtons(DiaryWindow& form) {
    // Every command acts on the member logged in: with nobody logged in there is no member folder
    // to act on, and the command does nothing.
    auto forMember = [&form](void (*command)(DiaryWindow&)) {
        return [&form, command] {
            if (form.session().loggedIn()) {
                command(form);
            }
        };
    };
    auto* find = new FindCommand(form);
    QObject::connect(form.findAction, &QAction::triggered, find, [&form, find] {
        if (form.session().loggedIn()) {
            find->find();
        }
    });
    QObject::connect(form.logOffAction, &QAction::triggered, &form, [&form] {
        if (form.session().loggedIn()) {
            form.logOff();
        }
    });
    QObject::connect(form.changePasswordAction, &QAction::triggered, &form, forMember(changePassword));
    QObject::connect(form.protectAction, &QAction::triggered, &form, forMember(protectMyDiary));
    QObject::connect(form.unprotectAction, &QAction::triggered, &form, forMember(unprotectMyDiary));
    // The menu's Exit presses the Exit button, so both run the same handler.
    QObject::connect(form.exitAction, &QAction::triggered, &form, [&form] { form.exitButton->click(); });
    QObject::connect(form.exportThisPageAction, &QAction::triggered, &form, forMember(exportThisPage));
    QObject::connect(form.exportAllPagesAction, &QAction::triggered, &form, forMember(exportAllPages));
    QObject::connect(form.deleteExportedPagesAction, &QAction::triggered, &form, forMember(deleteExportedPages));
    QObject::connect(form.deleteAnItemAction, &QAction::triggered, &form, forMember(deleteAnItem));
    QObject::connect(form.deleteThisPageAction, &QAction::triggered, &form, forMember(deleteThisPage));
    QObject::connect(form.deleteAllPagesAction, &QAction::triggered, &form, forMember(deleteAllPages));
    QObject::connect(form.deleteUserAction, &QAction::triggered, &form, forMember(deleteUser));
}

} // namespace

void connectCommands(DiaryWindow& form) {
    form.setLoginOpener([](DiaryWindow& owner) {
        LoginWindow login(owner, LoginWindow::Controls::OnceShown);
        login.load();
        login.exec();
    });
    form.whenControlsMade([&form] { connectMenuAndButtons(form); });
}
