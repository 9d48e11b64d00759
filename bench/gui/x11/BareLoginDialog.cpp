#include <QApplication>
#include <QDialog>

// What start-up is measured against: a Qt program that shows nothing but an empty dialog with
// the login window's title, started the same way as the real program.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Jotterel - Member login"));
    dialog.show();
    return app.exec();
}
