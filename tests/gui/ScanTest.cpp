// Whole recoveries through the real window: open a data file through the
// settings dialog, browse tables, page, show definitions, stop a scan, and
// bad input.

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

#include "AppTexts.h"
#include "RecoveryEngine.h"
#include "GuiForge.h"
#include "GuiTestSupport.h"
#include "TestRegistry.h"

using namespace guitest;

namespace {

const QString kCompleted = QStringLiteral("Scanning process completed.");

QStringList UserTables(QTreeWidget* tree) {
    QStringList names;
    if (QTreeWidgetItem* folder = Folder(tree, {QStringLiteral("Tables"), QStringLiteral("User Tables")}))
        for (int i = 0; i < folder->childCount(); ++i) names << folder->child(i)->text(0);
    return names;
}

QTreeWidgetItem* UserTable(QTreeWidget* tree, const QString& name) {
    return Child(tree, Folder(tree, {QStringLiteral("Tables"), QStringLiteral("User Tables")}), name);
}

// Scans `path` through the dialog and waits for the end.
bool Scan(RunningApp& run, const QString& path, int mode = 0) {
    OpenThroughDialog(run, path, mode);
    return WaitIdle(*run.frame);
}

// Clicks `item` and waits for the selection worker.
bool Select(RunningApp& run, QTreeWidgetItem* item) {
    ClickLabel(run.frame->Tree(), item);
    return WaitIdle(*run.frame);
}

bool Page(RunningApp& run, QToolButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    return WaitIdle(*run.frame);
}

QString Label(RunningApp& run) { return run.frame->Browser()->PageLabel()->text(); }

// Shows the folders down to the user tables, as a user would open them.
void ExpandToTables(QTreeWidget* tree) {
    if (QTreeWidgetItem* root = tree->topLevelItem(0)) {
        root->setExpanded(true);
        for (const QStringList& path : {QStringList{"Tables"}, QStringList{"Tables", "User Tables"}, QStringList{"Views"}})
            if (QTreeWidgetItem* folder = Folder(tree, path)) folder->setExpanded(true);
    }
}

}  // namespace

class ScanTest : public QObject {
    Q_OBJECT
private slots:
    void corpusDatabaseBrowsedThroughTheWindow() {
        const QString path = CorpusFile("sankaranarayanan__BI__NORTHWND.MDF");
        if (path.isEmpty()) QSKIP("the corpus folder ../shared/corpus is absent");
        RunningApp run;
        QVERIFY(run.Start());
        app::CMainFrame& frame = *run.frame;
        QVERIFY(Scan(run, path));
        QVERIFY2(run.prompts.informations.contains(kCompleted), qPrintable(run.prompts.informations.join('|')));
        QVERIFY(run.prompts.errors.isEmpty());
        QVERIFY(LogHas(frame, path + QStringLiteral(" File is selected for recovery....")));
        QVERIFY(LogHas(frame, QStringLiteral("Scanning completed for selected mdf file.")));
        QCOMPARE(frame.CaptionBar()->Text(), QStringLiteral("Scanning completed for selected mdf file"));
        QVERIFY(!frame.Progress()->isVisible());
        QVERIFY(!frame.StopAction()->isEnabled());
        QCOMPARE(frame.Tree()->topLevelItem(0)->text(0), path);
        const QStringList tables = UserTables(frame.Tree());
        QVERIFY2(tables.contains(QStringLiteral("Customers")), qPrintable(tables.join(',')));
        QVERIFY(app::CXHtmlTree::IsBold(UserTable(frame.Tree(), QStringLiteral("Customers"))));
        QVERIFY(tables == [&] { QStringList s = tables; s.sort(Qt::CaseInsensitive); return s; }());
        // The log file holds the same lines.
        QVERIFY(QFileInfo::exists(QString::fromStdString(run.State().m_strLogFilePath)));
        ExpandToTables(frame.Tree());
        SaveShot(&frame, QStringLiteral("main-window-after-scan"));

        // A table: its rows in the grid, the page label, its node expanded.
        QTreeWidgetItem* customers = UserTable(frame.Tree(), QStringLiteral("Customers"));
        QVERIFY(Select(run, customers));
        // The pane's last line became the live row counter; the file keeps the line.
        QVERIFY(LogFileText(frame).contains(QStringLiteral("Please wait while Customers folder is scanning.\r\n")));
        QVERIFY(frame.Browser()->Grid()->isVisible());
        QVERIFY(!frame.Browser()->TextBox()->isVisible());
        const int rows = frame.Browser()->Model()->rowCount();
        QVERIFY(rows > 50);
        QCOMPARE(Label(run), QStringLiteral("Page1 - [%1](1-%1) Records").arg(rows));
        QCOMPARE(frame.Browser()->Model()->Columns().front(), QStringLiteral("CustomerID"));
        QVERIFY(!frame.Browser()->Model()->Cell(0, 1).isEmpty());
        QVERIFY(!frame.Browser()->NextButton()->isEnabled());
        QVERIFY(!frame.Browser()->PreviousButton()->isEnabled());
        QCOMPARE(customers->child(0)->text(0), QStringLiteral("ForeignKey"));
        QVERIFY(Child(frame.Tree(), customers, QStringLiteral("Columns"))->childCount() > 5);
        customers->setExpanded(true);
        SaveShot(&frame, QStringLiteral("table-listing"));

        // While busy another click is refused and the selection stays.
        run.State().m_bBusy = 1;
        QTreeWidgetItem* orders = UserTable(frame.Tree(), QStringLiteral("Orders"));
        ClickLabel(frame.Tree(), orders);
        QTRY_VERIFY(run.prompts.informations.contains(QString::fromUtf8(app::kWaitRunning)));
        QCOMPARE(frame.Tree()->currentItem(), customers);
        run.State().m_bBusy = 0;

        // A primary key script.
        QTreeWidgetItem* keys = Child(frame.Tree(), customers, QStringLiteral("PrimaryKey"));
        QVERIFY(keys != nullptr && keys->childCount() == 1);
        QVERIFY(Select(run, keys->child(0)));
        QVERIFY(frame.Browser()->TextBox()->isVisible());
        QVERIFY2(frame.Browser()->TextBox()->toPlainText().contains(QStringLiteral("ALTER TABLE")),
                 qPrintable(frame.Browser()->TextBox()->toPlainText()));

        // A view: its definition.
        QTreeWidgetItem* views = Folder(frame.Tree(), {QStringLiteral("Views")});
        QVERIFY(views != nullptr && views->childCount() > 0);
        QTreeWidgetItem* view = Child(frame.Tree(), views, QStringLiteral("Customer and Suppliers by City"));
        if (view == nullptr) view = views->child(0);
        QVERIFY(Select(run, view));
        const QString definition = frame.Browser()->TextBox()->toPlainText();
        QVERIFY2(definition.contains(QStringLiteral("create view"), Qt::CaseInsensitive), qPrintable(definition));
        QVERIFY(!frame.Browser()->Grid()->isVisible());
        QCOMPARE(Label(run), QStringLiteral("Page1 - [0](0-0) Records"));
        SaveShot(&frame, QStringLiteral("definition"));

        // The close sequence names the log file.
        run.prompts.informations.clear();
        QVERIFY(frame.close());
        QCOMPARE(run.prompts.informations,
                 QStringList{QString::fromUtf8(app::kLogPathPrefix) + QString::fromStdString(run.State().m_strLogFilePath)});
        QVERIFY(!run.State().m_fileLog.IsOpen());
        QVERIFY(run.prompts.urls.isEmpty());
    }

    void pagingThroughALargeTable() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("numbers.mdf"));
        QVERIFY(WriteNumbersDatabase(path.toStdString(), 2500));
        RunningApp run;
        QVERIFY(run.Start());
        app::CMainFrame& frame = *run.frame;
        app::CKestrelStatic& browser = *frame.Browser();
        QVERIFY(Scan(run, path));
        QVERIFY2(run.prompts.informations.contains(kCompleted), qPrintable(run.prompts.informations.join('|')));
        QVERIFY(app::CXHtmlTree::IsBold(UserTable(frame.Tree(), QStringLiteral("Numbers"))));
        QVERIFY(!app::CXHtmlTree::IsBold(UserTable(frame.Tree(), QStringLiteral("Empty"))));

        QVERIFY(Select(run, UserTable(frame.Tree(), QStringLiteral("Numbers"))));
        QCOMPARE(Label(run), QStringLiteral("Page1 - [1000](1-1000) Records"));
        QCOMPARE(browser.Model()->rowCount(), 1000);
        QCOMPARE(browser.Model()->Columns(), (QStringList{"id", "twice"}));
        QCOMPARE(browser.Model()->Cell(0, 0), QStringLiteral("1"));
        QCOMPARE(browser.Model()->Cell(999, 1), QStringLiteral("2000"));
        QVERIFY(browser.NextButton()->isEnabled());
        QVERIFY(!browser.PreviousButton()->isEnabled());

        QVERIFY(Page(run, browser.NextButton()));
        QCOMPARE(Label(run), QStringLiteral("Page2 - [1000](1001-2000) Records"));
        QCOMPARE(browser.Model()->Cell(0, 0), QStringLiteral("1001"));
        QVERIFY(LogHas(frame, QStringLiteral("1000 rows to 2000")));
        QVERIFY(Page(run, browser.NextButton()));
        QCOMPARE(Label(run), QStringLiteral("Page3 - [500](2001-2500) Records"));
        QCOMPARE(browser.Model()->rowCount(), 500);
        QCOMPARE(browser.Model()->Cell(499, 0), QStringLiteral("2500"));
        QVERIFY(browser.PreviousButton()->isEnabled());

        QVERIFY(Page(run, browser.PreviousButton()));
        QCOMPARE(Label(run), QStringLiteral("Page2 - [1000](1001-2000) Records"));
        QCOMPARE(browser.Model()->Cell(0, 0), QStringLiteral("1001"));
        QVERIFY(Page(run, browser.PreviousButton()));
        QCOMPARE(Label(run), QStringLiteral("Page1 - [1000](1-1000) Records"));
        // Previous on the first page lists it again and disables itself.
        QVERIFY(Page(run, browser.PreviousButton()));
        QCOMPARE(Label(run), QStringLiteral("Page1 - [1000](1-1000) Records"));
        QVERIFY(!browser.PreviousButton()->isEnabled());
        QVERIFY(browser.NextButton()->isEnabled());
        QVERIFY(Page(run, browser.NextButton()));
        QCOMPARE(Label(run), QStringLiteral("Page2 - [1000](1001-2000) Records"));
        QVERIFY(run.prompts.errors.isEmpty());
        UserTable(frame.Tree(), QStringLiteral("Numbers"))->parent()->setExpanded(true);
        SaveShot(&frame, QStringLiteral("paging"));
    }

    void stopDuringTheScanOfALargeFile() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("large.mdf"));
        QVERIFY(WriteLargeDatabase(path.toStdString(), 16 * 1024));
        RunningApp run;
        QVERIFY(run.Start());
        app::CMainFrame& frame = *run.frame;
        run.prompts.answer = true;
        QSignalSpy progressMoves(frame.Progress(), &QProgressBar::valueChanged);
        OpenThroughDialog(run, path);
        QTRY_VERIFY(frame.WorkerRunning() || run.State().m_bBusy.load() != 0);
        QVERIFY(frame.StopAction()->isEnabled());
        QVERIFY(frame.Progress()->isVisible());
        // The window keeps handling events while the worker reads.
        QTRY_VERIFY(frame.Output()->Lines().size() >= 3);
        // The progress bar moves with the pages read.
        QTRY_VERIFY(progressMoves.count() >= 2);
        frame.StopAction()->trigger();
        QCOMPARE(run.prompts.questions, QStringList{QString::fromUtf8(app::kStopQuestion)});
        QCOMPARE(run.State().m_bBusy.load(), 0);
        QVERIFY(WaitIdle(frame));
        QVERIFY(!frame.StopAction()->isEnabled());
        // One of the three outcomes, computed from what was mapped before the stop.
        const QStringList lines = frame.Output()->Lines();
        QVERIFY2(lines.contains(QStringLiteral("Scanning completed for selected mdf file.")) ||
                     lines.contains(QStringLiteral("Scanning process aborted.")) ||
                     lines.contains(QStringLiteral(
                         "Either it is not valid mdf file or highly corrupted, select another file to recover.")) ||
                     lines.contains(QStringLiteral(
                         "Whether it is not valid mdf file or highly corrupted, select another file to recover.")),
                 qPrintable(lines.join('\n')));
        // The window is usable: the next Open shows the dialog again.
        bool dialogShown = false;
        WhenDialogOpens([&dialogShown](app::CKestrelFileSettingDlg& dialog) {
            dialogShown = true;
            dialog.CancelButton()->click();
        });
        frame.OpenAction()->trigger();
        QVERIFY(dialogShown);

        // A file named on the command line fills the dialog's data file field.
        QString preset;
        WhenDialogOpens([&preset](app::CKestrelFileSettingDlg& dialog) {
            preset = dialog.DataFilePath()->text();
            dialog.CancelButton()->click();
        });
        frame.OnOpen(QStringLiteral("/data/shop.mdf"));
        QCOMPARE(preset, QStringLiteral("/data/shop.mdf"));
    }

    void badInputEndsInMessagesAndAUsableWindow_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("random bytes") << "random";
        QTest::newRow("truncated file") << "truncated";
        QTest::newRow("folder named x.mdf") << "folder";
        QTest::newRow("empty file") << "empty";
    }

    void badInputEndsInMessagesAndAUsableWindow() {
        QFETCH(QString, kind);
        QTemporaryDir folder;
        QString path = folder.filePath(QStringLiteral("x.mdf"));
        if (kind == QStringLiteral("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (kind == QStringLiteral("random")) {
                QByteArray bytes(8192 * 40, '\0');
                quint32 x = 12345;
                for (char& c : bytes) {
                    x = x * 1103515245u + 12345u;
                    c = static_cast<char>(x >> 24);
                }
                file.write(bytes);
            } else if (kind == QStringLiteral("truncated")) {
                const QString numbers = folder.filePath(QStringLiteral("whole.mdf"));
                QVERIFY(WriteNumbersDatabase(numbers.toStdString(), 100));
                QFile whole(numbers);
                QVERIFY(whole.open(QIODevice::ReadOnly));
                file.write(whole.read(8192 * 20 + 1000));  // cut inside the system tables
            }
        }
        RunningApp run;
        QVERIFY(run.Start());
        app::CMainFrame& frame = *run.frame;
        QVERIFY(Scan(run, path));
        QVERIFY(!run.prompts.informations.contains(kCompleted) || kind == QStringLiteral("truncated"));
        // Some outcome was reported in the log, and the window is idle and usable.
        const QStringList lines = frame.Output()->Lines();
        QVERIFY2(lines.contains(QStringLiteral("Scanning process aborted.")) ||
                     lines.contains(QStringLiteral(
                         "Either it is not valid mdf file or highly corrupted, select another file to recover.")) ||
                     lines.contains(QStringLiteral(
                         "Whether it is not valid mdf file or highly corrupted, select another file to recover.")) ||
                     lines.contains(QStringLiteral("Scanning completed for selected mdf file.")),
                 qPrintable(lines.join('\n')));
        if (lines.contains(QStringLiteral("Scanning process aborted."))) {
            // First the file set's own error (error icon), then the outcome.
            QVERIFY(!run.prompts.errors.isEmpty());
            QVERIFY(run.prompts.errors.front() == QStringLiteral("File cannot be open...........") ||
                    run.prompts.errors.front() ==
                        QStringLiteral("Wheteher File is not valid mdf file or file is highly corrupted..........."));
            QVERIFY(run.prompts.informations.contains(QStringLiteral("Scanning process aborted.")));
            // The log pane says what was wrong with the file, in the user's terms.
            if (kind == QStringLiteral("folder"))
                QVERIFY2(lines.filter(QStringLiteral("x.mdf is a folder")).size() == 1, qPrintable(lines.join('\n')));
            if (kind == QStringLiteral("empty"))
                QVERIFY2(lines.filter(QStringLiteral("x.mdf is 0 bytes long")).size() == 1, qPrintable(lines.join('\n')));
            QCOMPARE(frame.Tree()->topLevelItemCount(), 0);
            // The fatal error released the engine objects once the worker had ended.
            QVERIFY(frame.Engine().Workflow().Context().fileSet == nullptr);
            QVERIFY(frame.Engine().Workflow().Context().catalog == nullptr);
        }
        if (kind != QStringLiteral("truncated")) QVERIFY(!lines.contains(QStringLiteral("Scanning completed for selected mdf file.")));
        QVERIFY(!frame.Progress()->isVisible());
        QVERIFY(!frame.StopAction()->isEnabled());
        QCOMPARE(run.State().m_bBusy.load(), 0);
        // Clicking around after a failed scan does no harm.
        if (QTreeWidgetItem* root = frame.Tree()->topLevelItem(0)) QVERIFY(Select(run, root));
        frame.HelpAction()->trigger();
        QCOMPARE(run.prompts.urls.size(), 1);
        QVERIFY(frame.close());
    }
};

static Register<ScanTest> registerScan("Scan");

#include "ScanTest.moc"
