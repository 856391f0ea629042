// The main window without a database: the busy rule, Help, the close
// sequence, the log pane, the tree control's click rule and its engine
// adapter, the record browser panel's layout.

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTableView>
#include <QToolButton>

#include <thread>

#include "AboutDialog.h"
#include "AppTexts.h"
#include "GuiTestSupport.h"
#include "QtObjectTree.h"
#include "TestRegistry.h"
#include "catalog/ObjectTree.h"

using namespace guitest;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void busyWindowRefusesCommands() {
        RunningApp run;
        QVERIFY(run.Start());
        app::CMainFrame& frame = *run.frame;
        run.State().m_bBusy = 1;
        QTest::qWait(150);
        QVERIFY(frame.StopAction()->isEnabled());

        frame.OpenAction()->trigger();
        QVERIFY(OpenSettingsDialog() == nullptr);
        frame.HelpAction()->trigger();
        frame.AboutAction()->trigger();
        QVERIFY(!frame.close());
        QCOMPARE(run.prompts.informations,
                 (QStringList{QString::fromUtf8(app::kWaitRunning), QString::fromUtf8(app::kStopToContinue),
                              QString::fromUtf8(app::kStopToContinue), QString::fromUtf8(app::kStopToClose)}));
        QVERIFY(run.prompts.urls.isEmpty());
        QVERIFY(frame.isVisible());

        // Stop asks first; No leaves the work running.
        run.prompts.answer = false;
        frame.StopAction()->trigger();
        QCOMPARE(run.prompts.questions, QStringList{QString::fromUtf8(app::kStopQuestion)});
        QCOMPARE(run.State().m_bBusy.load(), 1);
        QVERIFY(!run.State().m_bStopRequested.load());
        run.prompts.answer = true;
        frame.StopAction()->trigger();
        QCOMPARE(run.State().m_bBusy.load(), 0);
        QVERIFY(run.State().m_bStopRequested.load());
        QTest::qWait(150);
        QVERIFY(!frame.StopAction()->isEnabled());
    }

    void helpOpensTheManualShippedBesideTheProgram() {
        RunningApp run;
        QVERIFY(run.Start());
        run.frame->HelpAction()->trigger();
        QCOMPARE(run.prompts.urls.size(), 1);
        const QUrl url = run.prompts.urls.front();
        QVERIFY(url.isLocalFile());
        QCOMPARE(QFileInfo(url.toLocalFile()).fileName(), QString::fromUtf8(app::kManualFile));
        QVERIFY(QFileInfo::exists(url.toLocalFile()));
        QCOMPARE(QFileInfo(url.toLocalFile()).absolutePath(), QCoreApplication::applicationDirPath());
    }

    void aboutBoxLinksToTheManualAndClosesWithOk() {
        RunningApp run;
        QVERIFY(run.Start());
        bool shown = false;
        QStringList tips;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* about = qobject_cast<app::CKestrelAboutDlg*>(w);
                if (about == nullptr || !about->isVisible()) continue;
                shown = true;
                QCOMPARE(about->windowTitle(), QString::fromUtf8(app::kAppTitle));
                // Escape does not close it; the links open the local manual.
                QTest::keyClick(about, Qt::Key_Escape);
                QVERIFY(about->isVisible());
                for (QPushButton* button : about->findChildren<QPushButton*>()) {
                    if (button == about->OkButton()) continue;
                    tips << button->toolTip();
                    button->click();
                }
                SaveShot(about, QStringLiteral("about-box"));
                about->OkButton()->click();
            }
        });
        run.frame->AboutAction()->trigger();
        QVERIFY(shown);
        QCOMPARE(tips, (QStringList{"Company website", "Support email address", "Sales email address"}));
        QCOMPARE(run.prompts.urls.size(), 3);
        for (const QUrl& url : run.prompts.urls) QVERIFY(url.isLocalFile() && !url.fragment().isEmpty());
    }

    void closeAsksAndOpensNoWebPage() {
        RunningApp run;
        QVERIFY(run.Start());
        run.prompts.answer = false;
        QVERIFY(!run.frame->close());
        QVERIFY(run.frame->isVisible());
        QCOMPARE(run.prompts.questions, QStringList{QString::fromUtf8(app::kCloseQuestion)});
        run.prompts.answer = true;
        QVERIFY(run.frame->close());
        // No Open was ever confirmed: no log path message; nothing opened.
        QVERIFY(run.prompts.informations.isEmpty());
        QVERIFY(run.prompts.urls.isEmpty());
    }

    void logPaneAddsAndReplacesLines() {
        RunningApp run;
        QVERIFY(run.Start());
        pw::Logger& log = run.recovery->Log();
        log.AddLine("Checking for file corruption ...........");
        log.AddLine(" row 1 inserted");
        log.ReplaceLastLine(" row 2 inserted");
        // Lines from a worker thread arrive in order.
        std::thread worker([&log] {
            for (int i = 0; i < 200; ++i) log.AddLine("line " + std::to_string(i));
        });
        worker.join();
        QTRY_COMPARE(run.frame->Output()->Lines().size(), 202);
        const QStringList lines = run.frame->Output()->Lines();
        QCOMPARE(lines[0], QStringLiteral("Checking for file corruption ..........."));
        QCOMPARE(lines[1], QStringLiteral(" row 2 inserted"));
        for (int i = 0; i < 200; ++i) QCOMPARE(lines[2 + i], QStringLiteral("line %1").arg(i));
        QCOMPARE(run.State().m_nLogLines.load(), 202);
    }

    void treeReportsOnlyLeftClicksOnLabels() {
        app::CXHtmlTree tree;
        tree.resize(400, 300);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        QTreeWidgetItem* root = tree.InsertItem(QStringLiteral("C:/data/db.mdf"), nullptr, false);
        QTreeWidgetItem* tables = tree.InsertItem(QStringLiteral("Tables"), root, true);
        QTreeWidgetItem* views = tree.InsertItem(QStringLiteral("Views"), root, true);
        tree.InsertItem(QStringLiteral("Columns"), tables, true);
        root->setExpanded(true);
        QSignalSpy spy(&tree, &app::CXHtmlTree::LabelClicked);

        ClickLabel(&tree, tables);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).value<QTreeWidgetItem*>(), tables);
        QCOMPARE(tree.currentItem(), tables);
        QVERIFY(tables->isSelected());
        // The label of the selected item again: reported again.
        ClickLabel(&tree, tables);
        QCOMPARE(spy.size(), 2);
        // Right button: nothing.
        QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, tree.LabelRect(views).center());
        QCOMPARE(spy.size(), 2);
        // Arrow keys move the selection and report nothing.
        tree.SelectItem(tables);
        tree.setFocus();
        QTest::keyClick(&tree, Qt::Key_Up);
        QCOMPARE(tree.currentItem(), views);
        QCOMPARE(spy.size(), 2);
        // The expand button: the item opens, nothing is reported.
        const QRect row = tree.visualItemRect(tables);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(row.left() - tree.indentation() / 2, row.center().y()));
        QVERIFY(tables->isExpanded());
        QCOMPARE(spy.size(), 2);
        // Empty space below the items: nothing.
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(5, tree.viewport()->height() - 5));
        QCOMPARE(spy.size(), 2);
        // The check box toggles and reports nothing.
        const QRect label = tree.LabelRect(views);
        const QRect viewRow = tree.visualItemRect(views);
        QPoint checkPoint(viewRow.left() + 2, viewRow.center().y());
        for (int x = viewRow.left(); x < label.left(); ++x) {
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(x, viewRow.center().y()));
            if (views->checkState(0) == Qt::Checked) {
                checkPoint = QPoint(x, viewRow.center().y());
                break;
            }
        }
        QCOMPARE(views->checkState(0), Qt::Checked);
        QCOMPARE(spy.size(), 2);
        QVERIFY(checkPoint.x() < label.left());

        // Deleting everything leaves no selection behind.
        tree.DeleteAll();
        QCOMPARE(tree.topLevelItemCount(), 0);
        QVERIFY(tree.currentItem() == nullptr);
        QVERIFY(tree.selectedItems().isEmpty());
    }

    void treeAdapterServesWorkerThreads() {
        app::CXHtmlTree tree;
        QObject receiver;
        app::QtObjectTree adapter(tree, receiver);
        pw::TreeItem root = pw::kNoItem, b = pw::kNoItem;
        std::string firstChildText, parentText;
        std::int64_t data = -1;
        bool done = false;
        std::thread worker([&] {
            root = adapter.InsertItem("root", pw::kNoItem, false);
            adapter.InsertItem("b", root, true);
            b = adapter.FirstChild(root);
            adapter.InsertItem("C", root, true);
            adapter.InsertItem("a", root, true);
            adapter.SetItemData(b, 1);
            adapter.SetBold(b, true);
            adapter.SortChildren(root);
            firstChildText = adapter.ItemText(adapter.FirstChild(root));
            parentText = adapter.ItemText(adapter.Parent(b));
            data = adapter.ItemData(b);
            done = true;
        });
        QTRY_VERIFY(done);
        worker.join();
        QCOMPARE(firstChildText, std::string("a"));
        QCOMPARE(parentText, std::string("root"));
        QCOMPARE(data, std::int64_t{1});
        QTreeWidgetItem* rootItem = tree.topLevelItem(0);
        QCOMPARE(rootItem->childCount(), 3);
        QCOMPARE(rootItem->child(0)->text(0), QStringLiteral("a"));
        QCOMPARE(rootItem->child(1)->text(0), QStringLiteral("b"));
        QCOMPARE(rootItem->child(2)->text(0), QStringLiteral("C"));
        QVERIFY(app::CXHtmlTree::IsBold(rootItem->child(1)));
        QCOMPARE(adapter.HandleOf(rootItem->child(1)), b);
        QCOMPARE(adapter.ItemOf(b), rootItem->child(1));
        QCOMPARE(adapter.NextSibling(b), adapter.HandleOf(rootItem->child(2)));
        QCOMPARE(adapter.NextSibling(adapter.HandleOf(rootItem->child(2))), pw::kNoItem);
        QCOMPARE(adapter.Parent(root), pw::kNoItem);
        adapter.DeleteAll();
        QCOMPARE(tree.topLevelItemCount(), 0);
        QCOMPARE(adapter.ItemText(b), std::string());
        QCOMPARE(adapter.FirstChild(pw::kNoItem), pw::kNoItem);
    }

    void browserPanelLayout() {
        app::CKestrelStatic panel;
        panel.resize(900, 600);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QCOMPARE(panel.TextBox()->geometry(), QRect(0, 0, 900, 600));
        QCOMPARE(panel.Grid()->geometry(), QRect(0, 0, 900, 565));
        QCOMPARE(panel.PreviousButton()->toolTip(), QStringLiteral("Previous Records"));
        QCOMPARE(panel.NextButton()->toolTip(), QStringLiteral("Next Records"));
        QVERIFY(panel.PreviousButton()->geometry().right() < panel.NextButton()->geometry().left());
        QVERIFY(panel.NextButton()->geometry().right() < 900);
        QVERIFY(panel.PageLabel()->geometry().right() < panel.PreviousButton()->geometry().left());

        panel.ShowGrid(true);
        QVERIFY(panel.Grid()->isVisible() && panel.PageLabel()->isVisible() && panel.NextButton()->isVisible());
        QVERIFY(!panel.TextBox()->isVisible());
        panel.InsertColumn(0, QStringLiteral("id"));
        panel.InsertColumn(1, QStringLiteral("name"));
        panel.InsertRows(0, {{"1", "a"}, {"2", "b"}});
        panel.SetPageLabel(QStringLiteral("Page1 - [2](1-2) Records"));
        QCOMPARE(panel.Model()->rowCount(), 2);
        QCOMPARE(panel.Grid()->columnWidth(0), 200);
        QCOMPARE(panel.Model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("name"));
        // The label keeps its text, whole, when the panel is resized.
        panel.resize(640, 480);
        QTest::qWait(10);
        QCOMPARE(panel.PageLabel()->text(), QStringLiteral("Page1 - [2](1-2) Records"));
        QVERIFY(panel.PageLabel()->width() >=
                panel.PageLabel()->fontMetrics().horizontalAdvance(QStringLiteral("Page100 - [1000](99001-100000) Records")));
        panel.DeleteColumns(5);  // more than there are
        QCOMPARE(panel.Model()->columnCount(), 0);
    }
};

static Register<MainWindowTest> registerMainWindow("MainWindow");

#include "MainWindowTest.moc"
