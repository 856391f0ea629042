#pragma once
// CKestrelFileSettingDlg: "Select Corrupted MDF file", shown before every scan.
//
// The user picks the primary data file, the recovery mode, three options,
// how the collation is found and the folder for log files. The collation
// choice is written to the application state as soon as it changes; the
// rest only when OK passes validation. A fresh dialog is made for every
// Open command, so every control starts from its default.

#include <QDialog>

#include "support/AppState.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace app {

class UserPrompts;

class CKestrelFileSettingDlg : public QDialog {
    Q_OBJECT
public:
    CKestrelFileSettingDlg(pw::AppState& state, UserPrompts& prompts, QWidget* parent = nullptr);

    // The controls, for the application's tests.
    QLineEdit* DataFilePath() const { return dataPath_; }
    QPushButton* BrowseDataFile() const { return browseData_; }
    QComboBox* RecoveryMode() const { return mode_; }
    QCheckBox* IsSql2000() const { return sql2000_; }
    QCheckBox* ShowDeleted() const { return deleted_; }
    QCheckBox* ShowAdvancedDeleted() const { return advancedDeleted_; }
    QLineEdit* LogFolder() const { return logFolder_; }
    QPushButton* BrowseLogFolder() const { return browseLog_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QRadioButton* AutoDetect() const { return auto_; }
    QRadioButton* Manual() const { return manual_; }
    QComboBox* Collation() const { return collation_; }

public slots:
    void accept() override;

private:
    void OnBrowseDataFile();
    void OnBrowseLogFolder();
    void OnAutoDetect();
    void OnManual();
    void OnCollationChanged(int index);
    void FillCollations();

    pw::AppState& state_;
    UserPrompts& prompts_;
    QLineEdit* dataPath_ = nullptr;
    QPushButton* browseData_ = nullptr;
    QComboBox* mode_ = nullptr;
    QCheckBox* sql2000_ = nullptr;
    QCheckBox* deleted_ = nullptr;
    QCheckBox* advancedDeleted_ = nullptr;
    QLineEdit* logFolder_ = nullptr;
    QPushButton* browseLog_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QRadioButton* auto_ = nullptr;
    QRadioButton* manual_ = nullptr;
    QComboBox* collation_ = nullptr;
};

}  // namespace app
