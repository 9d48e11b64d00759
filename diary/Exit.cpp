#include <QCloseEvent>

#include "diary/Form1.h"
#include "store/Module1.h"

void Form1::Command4_Click() {
    try {
        m_module.SaveCaptions();
    } catch (const std::exception& e) {
        ReportFailure("The page captions cannot be saved. Jotterel closes without saving them.", e);
    }
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    // Whatever closes the main window ends the program at once; nothing more is written.
    EndProgram();
    event->accept();
}
