#include "app/Wiring.h"

#include <QAction>

#include "diary/Form1.h"
#include "export/ExportAll.h"
#include "export/ExportPage.h"
#include "login/Form2.h"

void ConnectCommands(Form1& form) {
    form.SetLoginOpener([](Form1& owner) {
        Form2 login(owner);
        login.Form_Load();
        login.exec();
    });
    QObject::connect(form.mnuExportPage, &QAction::triggered, &form, [&form] { mnuExportPage_Click(form); });
    QObject::connect(form.mnuExportAll, &QAction::triggered, &form, [&form] { mnuExportAll_Click(form); });
}
