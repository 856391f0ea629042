// pagewright: the desktop application.

#include <QApplication>

#include "AppTexts.h"
#include "RecoveryApp.h"
#include "UserPrompts.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pagewright"));
    app::DialogPrompts prompts;
    app::CKestrelCaskRecoveryProjApp recovery;
    if (!recovery.InitInstance(prompts)) return 0;
    return QApplication::exec();
}
