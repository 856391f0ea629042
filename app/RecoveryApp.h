#pragma once
// CKestrelCaskRecoveryProjApp: the application object. It owns the state
// record shared with the engine, the log, the settings, the single-instance
// lock and the main window, and runs the start-up sequence.

#include <QLockFile>
#include <QSettings>

#include <memory>

#include "support/AppState.h"
#include "support/Logger.h"

namespace app {

class CMainFrame;
class UserPrompts;

class CKestrelCaskRecoveryProjApp {
public:
    CKestrelCaskRecoveryProjApp();
    ~CKestrelCaskRecoveryProjApp();
    CKestrelCaskRecoveryProjApp(const CKestrelCaskRecoveryProjApp&) = delete;
    CKestrelCaskRecoveryProjApp& operator=(const CKestrelCaskRecoveryProjApp&) = delete;

    // The start-up sequence: settings key, single instance, collation table,
    // main window shown maximised. False when the process is to end (another
    // instance runs: the message is shown and no window is made).
    bool InitInstance(UserPrompts& prompts);

    pw::AppState& State() { return state_; }
    pw::Logger& Log() { return logger_; }
    CMainFrame* MainFrame() const { return frame_.get(); }
    // The lock file that keeps a second instance out.
    static QString InstanceLockPath();

private:
    pw::AppState state_;
    pw::Logger logger_{state_};
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<QLockFile> instanceLock_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace app
