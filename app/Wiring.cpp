#include "app/Wiring.h"

#include <QAction>

#include "diary/Form1.h"
#include "login/Form2.h"

void ConnectCommands(Form1& form) {
    form.SetLoginOpener([](Form1& owner) {
        Form2 login(owner);
        login.Form_Load();
        login.exec();
    });
}
