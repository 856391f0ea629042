#include "RecoveryApp.h"

#include <QDir>

#include <chrono>

#include "AppTexts.h"
#include "MainFrame.h"
#include "UserPrompts.h"
#include "support/CollationTable.h"

namespace app {

CKestrelCaskRecoveryProjApp::CKestrelCaskRecoveryProjApp() = default;

CKestrelCaskRecoveryProjApp::~CKestrelCaskRecoveryProjApp() {
    frame_.reset();
    state_.m_fileLog.Close();
}

QString CKestrelCaskRecoveryProjApp::InstanceLockPath() {
    // The machine-wide name with its one backslash turned into a file-name character.
    QString name = QString::fromUtf8(kInstanceName);
    name.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return QDir(QDir::tempPath()).filePath(name + QStringLiteral(".lock"));
}

bool CKestrelCaskRecoveryProjApp::InitInstance(UserPrompts& prompts) {
    settings_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QString::fromUtf8(kSettingsKey));

    // One instance per machine. A lock left by a process that no longer runs
    // is taken over; a live holder is never treated as stale.
    instanceLock_ = std::make_unique<QLockFile>(InstanceLockPath());
    instanceLock_->setStaleLockTime(std::chrono::hours(24 * 365));
    if (!instanceLock_->tryLock(0)) {
        instanceLock_.reset();
        prompts.Information(nullptr, QString::fromUtf8(kAnotherInstance));
        return false;
    }

    pw::LoadCollationTable(pw::ExecutablePath(), state_.m_mapCollations);

    frame_ = std::make_unique<CMainFrame>(state_, logger_, prompts, *settings_);
    frame_->showMaximized();
    return true;
}

}  // namespace app
