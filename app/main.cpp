#include <QApplication>
#include <QDir>
#include <QFile>

#include "app/Wiring.h"
#include "diary/DiaryWindow.h"
#include "platform/core/CrashDumps.h"
#include "platform/core/Dialogs.h"
#include "platform/core/Launcher.h"
#include "platform/qt/DesktopLauncher.h"
#include "platform/qt/QtDialogs.h"
#include "store/MemberSession.h"

int main(int argc, char** argv) {
    // Before any member's page is read: a crash must not write it to the disk.
    platform::turnOffCrashDumps();
    // Whole-pixel scaling on a high-resolution screen, the rest of the resolution going into the
    // logical DPI, from which the fonts and the twips of the window layouts both take their
    // sizes: at a fractional scale the frames of the controls come out half drawn.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::RoundPreferFloor);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Jotterel"));
    // No display name: the window system would add it to every title bar, and the titles are
    // the program's own ("Jotterel of 'Ann'").
    // The launcher installed with the program: desktops take its icon for the program's windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("jotterel"));

    platform::QtDialogs dialogs;
    platform::setUi(&dialogs);
    platform::DesktopLauncher launcher;
    platform::setPrograms(&launcher);

    // The member folders live beside the program, whatever language its folder is named in.
    const std::string appPath =
        QFile::encodeName(QDir::toNativeSeparators(QApplication::applicationDirPath())).toStdString();

    MemberSession module(appPath);
    // The login window comes first and nothing of the diary window but its frame is made before
    // it: the program is on screen as soon as a bare window would be.
    DiaryWindow form(module, nullptr, DiaryWindow::Controls::AfterLogin);
    connectCommands(form);
    QObject::connect(&form, &DiaryWindow::programEnded, &app, [] {
        QApplication::closeAllWindows();
        QApplication::exit(0);
    });

    form.load();
    if (form.ended()) {
        return 0;
    }
    form.show();
    return app.exec();
}
