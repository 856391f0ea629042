// Start-up: one instance, the collation table, the main window's parts.

#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

#include "AppTexts.h"
#include "GuiTestSupport.h"
#include "TestRegistry.h"

using namespace guitest;

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void secondInstanceIsRefused() {
        RunningApp first;
        QVERIFY(first.Start());
        QVERIFY(QFileInfo::exists(app::CKestrelCaskRecoveryProjApp::InstanceLockPath()));

        RunningApp second;
        QVERIFY(!second.recovery->InitInstance(second.prompts));
        QCOMPARE(second.prompts.informations, QStringList{QString::fromUtf8(app::kAnotherInstance)});
        QVERIFY(second.recovery->MainFrame() == nullptr);

        // Once the first instance has ended, the next one starts.
        first.recovery.reset();
        RunningApp third;
        QVERIFY(third.Start());
        QVERIFY(third.prompts.informations.isEmpty());
    }

    void mainWindowStartsMaximisedWithItsParts() {
        RunningApp run;
        QVERIFY(run.Start());
        QVERIFY(run.startedMaximized);
        app::CMainFrame& frame = *run.frame;
        QCOMPARE(frame.windowTitle(), QString::fromUtf8(app::kAppTitle));
        // The collation table beside the executable was loaded.
        QVERIFY(!run.State().m_mapCollations.empty());

        // Toolbar with the four commands and their tool tips; Stop only while busy.
        QCOMPARE(frame.OpenAction()->toolTip(), QStringLiteral("Open Database file"));
        QCOMPARE(frame.StopAction()->toolTip(), QStringLiteral("Stop running process"));
        QCOMPARE(frame.HelpAction()->toolTip(), QStringLiteral("Help for Kestrelbyte Pagewright"));
        QCOMPARE(frame.AboutAction()->toolTip(), QStringLiteral("About Kestrelbyte Pagewright"));
        QVERIFY(!frame.StopAction()->isEnabled());
        auto* ribbon = frame.findChild<QToolBar*>(QStringLiteral("ribbon"));
        QVERIFY(ribbon != nullptr);
        QVERIFY(ribbon->iconSize().height() >= 32);
        for (QAction* action : {frame.OpenAction(), frame.StopAction(), frame.HelpAction(), frame.AboutAction()})
            QVERIFY(!action->icon().isNull());

        QCOMPARE(frame.CaptionBar()->Text(), QString::fromUtf8(app::kCaptionInitial));
        auto* treePane = frame.findChild<QDockWidget*>(QStringLiteral("treePane"));
        auto* outputPane = frame.findChild<QDockWidget*>(QStringLiteral("outputPane"));
        QVERIFY(treePane != nullptr && outputPane != nullptr);
        QCOMPARE(treePane->windowTitle(), QStringLiteral("MS SQL Database Objects"));
        QCOMPARE(outputPane->windowTitle(), QStringLiteral("Output"));
        QCOMPARE(frame.dockWidgetArea(treePane), Qt::LeftDockWidgetArea);
        QCOMPARE(frame.dockWidgetArea(outputPane), Qt::BottomDockWidgetArea);

        // Status bar: product link, title, progress bar hidden while idle.
        auto* title = frame.statusBar()->findChild<QLabel*>(QStringLiteral("titlePane"));
        auto* link = frame.statusBar()->findChild<QLabel*>(QStringLiteral("productLink"));
        QVERIFY(title != nullptr && link != nullptr);
        QCOMPARE(title->text(), QString::fromUtf8(app::kAppTitle));
        QVERIFY(link->text().contains(QStringLiteral("Kestrelbyte Pagewright")));
        QVERIFY(!frame.Progress()->isVisible());

        // The record browser starts with the text box; grid, label and buttons hidden.
        QVERIFY(!frame.Browser()->Grid()->isVisible());
        QVERIFY(!frame.Browser()->PageLabel()->isVisible());
        QVERIFY(!frame.Browser()->NextButton()->isVisible());
        QCOMPARE(frame.Output()->Lines(), QStringList{});
        QCOMPARE(run.State().m_nLogLines.load(), 0);
        SaveShot(&frame, QStringLiteral("main-window-start"));
    }

    void settingsLiveUnderTheProductKey() {
        {
            RunningApp run;
            QVERIFY(run.Start());
            run.prompts.answer = true;
            QVERIFY(run.frame->close());
        }
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QString::fromUtf8(app::kSettingsKey));
        QCOMPARE(settings.value(QStringLiteral("ApplicationLook")).toInt(), 215);
        QVERIFY(settings.contains(QStringLiteral("WindowState")));
    }
};

static Register<StartupTest> registerStartup("Startup");

#include "StartupTest.moc"
