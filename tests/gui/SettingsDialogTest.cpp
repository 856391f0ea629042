// The settings dialog "Select Corrupted MDF file": controls, defaults,
// validation messages and the members it writes.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "AppTexts.h"
#include "GuiTestSupport.h"
#include "TestRegistry.h"

using namespace guitest;

namespace {

void Touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

pw::CollationMap SomeCollations() {
    pw::CollationMap map;
    map[872468488] = {"SQL_Latin1_General_CP1_CI_AS", 1252};
    map[-5] = {"Albanian_BIN", 1250};
    map[53251] = {"Cyrillic_General_CI_AS", 1251};
    map[7] = {"albanian_CI_AS", 1250};
    map[8] = {"Cyrillic_General_CI_AS", 1251};  // the same name twice: two entries
    return map;
}

}  // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void defaultsWhenItOpens() {
        pw::AppState state;
        state.m_mapCollations = SomeCollations();
        state.m_bAutoCollation = false;
        RecordingPrompts prompts;
        app::CKestrelFileSettingDlg dialog(state, prompts);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Corrupted MDF file"));
        QVERIFY(dialog.DataFilePath()->text().isEmpty());
        QVERIFY(dialog.DataFilePath()->isReadOnly());
        QVERIFY(dialog.LogFolder()->isReadOnly());
        QCOMPARE(dialog.RecoveryMode()->count(), 2);
        QCOMPARE(dialog.RecoveryMode()->itemText(0), QStringLiteral("Standard Mode"));
        QCOMPARE(dialog.RecoveryMode()->itemText(1), QStringLiteral("Advanced Mode"));
        QCOMPARE(dialog.RecoveryMode()->currentIndex(), 0);
        QCOMPARE(dialog.IsSql2000()->text(), QStringLiteral("Is SQL 2000"));
        QCOMPARE(dialog.ShowDeleted()->text(), QStringLiteral("Show deleted records"));
        QCOMPARE(dialog.ShowAdvancedDeleted()->text(), QStringLiteral("Show Advanced Deleted records"));
        for (QCheckBox* box : {dialog.IsSql2000(), dialog.ShowDeleted(), dialog.ShowAdvancedDeleted()})
            QVERIFY(!box->isChecked());
        QVERIFY(dialog.AutoDetect()->isChecked());
        QVERIFY(!dialog.Manual()->isChecked());
        QVERIFY(!dialog.Collation()->isEnabled());
        QVERIFY(state.m_bAutoCollation);
        QVERIFY(dialog.OkButton()->isDefault());

        // Sorted by name (case aside); the first entry is selected and stored.
        QStringList names;
        for (int i = 0; i < dialog.Collation()->count(); ++i) names << dialog.Collation()->itemText(i);
        QCOMPARE(names, (QStringList{"Albanian_BIN", "albanian_CI_AS", "Cyrillic_General_CI_AS",
                                     "Cyrillic_General_CI_AS", "SQL_Latin1_General_CP1_CI_AS"}));
        QCOMPARE(dialog.Collation()->itemData(2).value<quint32>(), 8u);
        QCOMPARE(dialog.Collation()->itemData(3).value<quint32>(), 53251u);
        QCOMPARE(dialog.Collation()->currentIndex(), 0);
        // The id -5 is kept as its low 32 bits, zero-extended.
        QCOMPARE(state.m_nManualCollationId, std::int64_t{0xFFFFFFFB});

        // The Desktop folder, created when missing.
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QCOMPARE(dialog.LogFolder()->text(), QDir::toNativeSeparators(desktop));
        QVERIFY(QFileInfo(desktop).isDir());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        SaveShot(&dialog, QStringLiteral("settings-dialog"));
    }

    void collationChoiceIsWrittenAtOnce() {
        pw::AppState state;
        state.m_mapCollations = SomeCollations();
        RecordingPrompts prompts;
        app::CKestrelFileSettingDlg dialog(state, prompts);
        dialog.show();
        QTest::mouseClick(dialog.Manual(), Qt::LeftButton);
        QVERIFY(dialog.Manual()->isChecked());
        QVERIFY(!dialog.AutoDetect()->isChecked());
        QVERIFY(dialog.Collation()->isEnabled());
        QVERIFY(!state.m_bAutoCollation);
        dialog.Collation()->setCurrentIndex(3);
        QCOMPARE(state.m_nManualCollationId, std::int64_t{53251});
        QTest::mouseClick(dialog.AutoDetect(), Qt::LeftButton);
        QVERIFY(dialog.AutoDetect()->isChecked());
        QVERIFY(!dialog.Manual()->isChecked());
        QVERIFY(!dialog.Collation()->isEnabled());
        QVERIFY(state.m_bAutoCollation);
        // Clicking the checked button again keeps it checked (the two are kept exclusive by hand).
        QTest::mouseClick(dialog.AutoDetect(), Qt::LeftButton);
        QVERIFY(dialog.AutoDetect()->isChecked());
    }

    void okValidatesThePaths_data() {
        QTest::addColumn<QString>("file");    // created inside the temporary folder unless empty
        QTest::addColumn<bool>("create");
        QTest::addColumn<QString>("message");  // empty: accepted
        const QString sqlPath = QString::fromUtf8(app::kInvalidSqlPath);
        QTest::newRow("no file picked") << QString() << false << sqlPath;
        QTest::newRow("no .mdf in the path") << "data.bak" << true << sqlPath;
        QTest::newRow("missing file") << "gone.mdf" << false << sqlPath;
        QTest::newRow("mixed case extension") << "Sales.MdF" << true << QString();
        QTest::newRow(".MDF only in the folder part") << "old.MDF.d/data.bin" << true << QString();
        QTest::newRow("ends in mdf without a dot") << "fakemdf" << true << sqlPath;
    }

    void okValidatesThePaths() {
        QFETCH(QString, file);
        QFETCH(bool, create);
        QFETCH(QString, message);
        QTemporaryDir folder;
        pw::AppState state;
        RecordingPrompts prompts;
        app::CKestrelFileSettingDlg dialog(state, prompts);
        QString path;
        if (!file.isEmpty()) {
            path = folder.filePath(file);
            if (create) {
                QDir().mkpath(QFileInfo(path).path());
                Touch(path);
            }
            // Only the browse button fills the box; a picked missing file is refused there,
            // so a vanished file is simulated by setting the text.
            dialog.DataFilePath()->setText(path);
        }
        dialog.show();
        dialog.OkButton()->click();
        if (message.isEmpty()) {
            QVERIFY(prompts.informations.isEmpty());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(QString::fromStdString(state.m_strMdfPath), path);
        } else {
            QCOMPARE(prompts.informations, QStringList{message});
            QVERIFY(dialog.isVisible());
            QVERIFY(state.m_strMdfPath.empty());
        }
    }

    void dataFileIsCheckedBeforeTheLogFolder() {
        pw::AppState state;
        RecordingPrompts prompts;
        app::CKestrelFileSettingDlg dialog(state, prompts);
        dialog.LogFolder()->setText(QStringLiteral("/no/such/folder"));
        dialog.show();
        dialog.OkButton()->click();
        QCOMPARE(prompts.informations, QStringList{QString::fromUtf8(app::kInvalidSqlPath)});
    }

    void missingLogFolderKeepsTheDialogOpen() {
        QTemporaryDir folder;
        const QString mdf = folder.filePath(QStringLiteral("a.mdf"));
        Touch(mdf);
        pw::AppState state;
        RecordingPrompts prompts;
        prompts.dataFile = mdf;
        app::CKestrelFileSettingDlg dialog(state, prompts);
        dialog.show();
        dialog.BrowseDataFile()->click();
        QCOMPARE(dialog.DataFilePath()->text(), mdf);
        dialog.LogFolder()->setText(folder.filePath(QStringLiteral("removed")));
        dialog.OkButton()->click();
        QCOMPARE(prompts.informations, QStringList{QString::fromUtf8(app::kInvalidLogPath)});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.DataFilePath()->text(), mdf);
        QVERIFY(state.m_strLogFolder.empty());
    }

    void okWritesTheChoices() {
        QTemporaryDir folder;
        const QString mdf = folder.filePath(QStringLiteral("db.mdf"));
        Touch(mdf);
        const QString logs = folder.filePath(QStringLiteral("logs"));
        QDir().mkpath(logs);
        pw::AppState state;
        RecordingPrompts prompts;
        prompts.dataFile = mdf;
        prompts.folder = QStringLiteral("  ") + logs + QStringLiteral(" \t");
        app::CKestrelFileSettingDlg dialog(state, prompts);
        dialog.show();
        dialog.BrowseDataFile()->click();
        dialog.BrowseLogFolder()->click();
        QCOMPARE(prompts.folderTitles, QStringList{QStringLiteral("Select location to save Log file(s).")});
        QCOMPARE(dialog.LogFolder()->text(), logs);  // trimmed
        dialog.RecoveryMode()->setCurrentIndex(1);
        dialog.IsSql2000()->setChecked(true);
        dialog.ShowAdvancedDeleted()->setChecked(true);
        dialog.OkButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(state.m_strMdfPath, mdf.toStdString());
        QCOMPARE(state.m_strLogFolder, (logs + QStringLiteral("/")).toStdString());
        QCOMPARE(state.m_nRecoveryMode, std::int32_t{pw::kRecoveryModeAdvanced});
        QVERIFY(state.m_bIsSql2000);
        QVERIFY(!state.m_bShowDeleted);
        QVERIFY(state.m_bShowAdvancedDeleted);
    }

    void aFolderEndingInASeparatorGetsNoSecond() {
        QTemporaryDir folder;
        const QString mdf = folder.filePath(QStringLiteral("db.mdf"));
        Touch(mdf);
        pw::AppState state;
        RecordingPrompts prompts;
        app::CKestrelFileSettingDlg dialog(state, prompts);
        dialog.DataFilePath()->setText(mdf);
        dialog.LogFolder()->setText(QStringLiteral("/"));
        dialog.show();
        dialog.OkButton()->click();
        QCOMPARE(state.m_strLogFolder, std::string("/"));
        QCOMPARE(state.m_nRecoveryMode, std::int32_t{pw::kRecoveryModeStandard});
    }

    void pickersRefuseWhatIsNotThere() {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("plain.txt"));
        Touch(file);
        pw::AppState state;
        RecordingPrompts prompts;
        prompts.dataFile = folder.filePath(QStringLiteral("missing.mdf"));
        prompts.folder = file;  // not a directory: ignored without a message
        app::CKestrelFileSettingDlg dialog(state, prompts);
        const QString before = dialog.LogFolder()->text();
        dialog.show();
        dialog.BrowseDataFile()->click();
        QCOMPARE(prompts.informations, QStringList{QString::fromUtf8(app::kPickValidMdf)});
        QVERIFY(dialog.DataFilePath()->text().isEmpty());
        dialog.BrowseLogFolder()->click();
        QCOMPARE(dialog.LogFolder()->text(), before);
        QCOMPARE(prompts.informations.size(), 1);
        // A cancelled picker changes nothing either.
        prompts.dataFile.clear();
        dialog.BrowseDataFile()->click();
        QCOMPARE(prompts.informations.size(), 1);
    }

    void cancelWritesNothingAndTheNextDialogStartsAfresh() {
        QTemporaryDir folder;
        const QString mdf = folder.filePath(QStringLiteral("db.mdf"));
        Touch(mdf);
        pw::AppState state;
        state.m_mapCollations = SomeCollations();
        RecordingPrompts prompts;
        prompts.dataFile = mdf;
        {
            app::CKestrelFileSettingDlg dialog(state, prompts);
            dialog.show();
            dialog.BrowseDataFile()->click();
            QTest::mouseClick(dialog.Manual(), Qt::LeftButton);
            dialog.RecoveryMode()->setCurrentIndex(1);
            dialog.CancelButton()->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        QVERIFY(state.m_strMdfPath.empty());
        QCOMPARE(state.m_nRecoveryMode, std::int32_t{pw::kRecoveryModeNotChosen});
        QVERIFY(!state.m_bAutoCollation);  // the radio button wrote it at once
        app::CKestrelFileSettingDlg again(state, prompts);
        QVERIFY(again.AutoDetect()->isChecked());
        QVERIFY(state.m_bAutoCollation);
        QVERIFY(again.DataFilePath()->text().isEmpty());
        QCOMPARE(again.RecoveryMode()->currentIndex(), 0);
    }

    void manualWithoutTouchingTheListUsesTheFirstEntry() {
        QTemporaryDir folder;
        const QString mdf = folder.filePath(QStringLiteral("db.mdf"));
        Touch(mdf);
        pw::AppState state;
        state.m_mapCollations = SomeCollations();
        RecordingPrompts prompts;
        app::CKestrelFileSettingDlg dialog(state, prompts);
        dialog.show();
        dialog.DataFilePath()->setText(mdf);
        QTest::mouseClick(dialog.Manual(), Qt::LeftButton);
        dialog.OkButton()->click();
        QVERIFY(!state.m_bAutoCollation);
        QCOMPARE(state.m_nManualCollationId, std::int64_t{0xFFFFFFFB});
    }

    void noCollationTableGivesAnEmptyList() {
        pw::AppState state;
        RecordingPrompts prompts;
        app::CKestrelFileSettingDlg dialog(state, prompts);
        QCOMPARE(dialog.Collation()->count(), 0);
        QCOMPARE(state.m_nManualCollationId, std::int64_t{0});
    }
};

static Register<SettingsDialogTest> registerSettings("SettingsDialog");

#include "SettingsDialogTest.moc"
