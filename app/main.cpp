// pagewright: the desktop application.

#include <QApplication>
#include <QTimer>

#include "AppTexts.h"
#include "MainFrame.h"
#include "RecoveryApp.h"
#include "UserPrompts.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pagewright"));
    app::DialogPrompts prompts;
    app::CKestrelCaskRecoveryProjApp recovery;
    if (!recovery.InitInstance(prompts)) return 0;
    // pagewright FILE: the settings dialog opens at once with FILE filled in.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        const QString path = arguments.at(1);
        QTimer::singleShot(0, recovery.MainFrame(), [&recovery, path] { recovery.MainFrame()->OnOpen(path); });
    }
    return QApplication::exec();
}
