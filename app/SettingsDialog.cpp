#include "SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "AppTexts.h"
#include "UserPrompts.h"

namespace app {

namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

// A read-only path box that keeps the end of a long path in view.
QLineEdit* PathBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setReadOnly(true);
    box->setMinimumWidth(380);
    return box;
}

QPushButton* BrowseButton(QWidget* parent) {
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setAutoDefault(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 24);
    return button;
}

}  // namespace

CKestrelFileSettingDlg::CKestrelFileSettingDlg(pw::AppState& state, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), state_(state), prompts_(prompts) {
    setWindowTitle(Text(kSettingsTitle));
    setModal(true);

    // Data file block.
    auto* fileFrame = new QGroupBox(this);
    auto* fileGrid = new QGridLayout(fileFrame);
    fileGrid->addWidget(new QLabel(QStringLiteral("Select MDF File Path:"), fileFrame), 0, 0);
    dataPath_ = PathBox(fileFrame);
    browseData_ = BrowseButton(fileFrame);
    fileGrid->addWidget(dataPath_, 0, 1);
    fileGrid->addWidget(browseData_, 0, 2);
    fileGrid->addWidget(new QLabel(QStringLiteral("Select Recovery Mode:"), fileFrame), 1, 0);
    mode_ = new QComboBox(fileFrame);
    fileGrid->addWidget(mode_, 1, 1, 1, 2);
    auto* options = new QHBoxLayout;
    sql2000_ = new QCheckBox(QStringLiteral("Is SQL 2000"), fileFrame);
    deleted_ = new QCheckBox(QStringLiteral("Show deleted records"), fileFrame);
    advancedDeleted_ = new QCheckBox(QStringLiteral("Show Advanced Deleted records"), fileFrame);
    options->addWidget(sql2000_);
    options->addWidget(deleted_);
    options->addWidget(advancedDeleted_);
    options->addStretch(1);
    fileGrid->addLayout(options, 2, 0, 1, 3);
    fileGrid->setColumnStretch(1, 1);

    // Collation block.
    auto* collationFrame = new QGroupBox(QStringLiteral("Collation Option:"), this);
    auto* collationRow = new QHBoxLayout(collationFrame);
    auto_ = new QRadioButton(QStringLiteral("Auto detect"), collationFrame);
    manual_ = new QRadioButton(QStringLiteral("Manual"), collationFrame);
    // The two buttons are kept exclusive by the click handlers below.
    auto_->setAutoExclusive(false);
    manual_->setAutoExclusive(false);
    collation_ = new QComboBox(collationFrame);
    collation_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    collation_->setMinimumContentsLength(28);
    collationRow->addWidget(auto_);
    collationRow->addWidget(manual_);
    collationRow->addWidget(collation_, 1);

    // Log folder block.
    auto* logFrame = new QGroupBox(this);
    auto* logGrid = new QGridLayout(logFrame);
    logGrid->addWidget(new QLabel(QStringLiteral("Select Log file path:"), logFrame), 0, 0);
    logFolder_ = PathBox(logFrame);
    browseLog_ = BrowseButton(logFrame);
    logGrid->addWidget(logFolder_, 0, 1);
    logGrid->addWidget(browseLog_, 0, 2);
    logGrid->setColumnStretch(1, 1);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fileFrame);
    layout->addWidget(collationFrame);
    layout->addWidget(logFrame);
    layout->addLayout(buttons);

    // Tab order: the data file block, the log block, OK, Cancel, the collation block.
    setTabOrder(dataPath_, browseData_);
    setTabOrder(browseData_, mode_);
    setTabOrder(mode_, sql2000_);
    setTabOrder(sql2000_, deleted_);
    setTabOrder(deleted_, advancedDeleted_);
    setTabOrder(advancedDeleted_, logFolder_);
    setTabOrder(logFolder_, browseLog_);
    setTabOrder(browseLog_, ok_);
    setTabOrder(ok_, cancel_);
    setTabOrder(cancel_, auto_);
    setTabOrder(auto_, manual_);
    setTabOrder(manual_, collation_);

    connect(browseData_, &QPushButton::clicked, this, &CKestrelFileSettingDlg::OnBrowseDataFile);
    connect(browseLog_, &QPushButton::clicked, this, &CKestrelFileSettingDlg::OnBrowseLogFolder);
    connect(auto_, &QRadioButton::clicked, this, &CKestrelFileSettingDlg::OnAutoDetect);
    connect(manual_, &QRadioButton::clicked, this, &CKestrelFileSettingDlg::OnManual);
    connect(ok_, &QPushButton::clicked, this, &CKestrelFileSettingDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CKestrelFileSettingDlg::reject);

    // Defaults.
    mode_->insertItem(0, Text(kStandardMode));
    mode_->insertItem(1, Text(kAdvancedMode));
    mode_->setCurrentIndex(0);
    OnAutoDetect();
    FillCollations();
    connect(collation_, &QComboBox::currentIndexChanged, this, &CKestrelFileSettingDlg::OnCollationChanged);
    QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty()) desktop = QDir::homePath() + QStringLiteral("/Desktop");
    QDir().mkpath(desktop);
    logFolder_->setText(QDir::toNativeSeparators(desktop));
    adjustSize();
}

void CKestrelFileSettingDlg::FillCollations() {
    struct Entry {
        QString name;
        std::uint32_t id;
    };
    // The table in ascending id order, then sorted by name as a sorted list
    // box shows it; entries of equal names keep their id order.
    std::vector<Entry> entries;
    for (const auto& [id, info] : state_.m_mapCollations)
        entries.push_back({QString::fromStdString(info.strName), static_cast<std::uint32_t>(id)});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    for (const Entry& e : entries) collation_->addItem(e.name, QVariant::fromValue<quint32>(e.id));
    if (collation_->count() > 0) {
        collation_->setCurrentIndex(0);
        OnCollationChanged(0);
    }
}

void CKestrelFileSettingDlg::OnBrowseDataFile() {
    const QString path = prompts_.PickDataFile(this);
    if (path.isEmpty()) return;
    if (!QFileInfo::exists(path)) {
        prompts_.Information(this, Text(kPickValidMdf));
        return;
    }
    dataPath_->setText(path);
    dataPath_->setCursorPosition(static_cast<int>(path.size()));
}

void CKestrelFileSettingDlg::OnBrowseLogFolder() {
    const QString path = prompts_.PickFolder(this, Text(kPickLogFolderTitle)).trimmed();
    if (path.isEmpty() || !QFileInfo(path).isDir()) return;
    logFolder_->setText(path);
    logFolder_->setCursorPosition(static_cast<int>(path.size()));
}

void CKestrelFileSettingDlg::OnAutoDetect() {
    auto_->setChecked(true);
    manual_->setChecked(false);
    collation_->setEnabled(false);
    state_.m_bAutoCollation = true;
}

void CKestrelFileSettingDlg::OnManual() {
    auto_->setChecked(false);
    manual_->setChecked(true);
    collation_->setEnabled(true);
    state_.m_bAutoCollation = false;
}

void CKestrelFileSettingDlg::OnCollationChanged(int index) {
    if (index < 0) return;
    // The list keeps the id's low 32 bits; the member gets them zero-extended.
    state_.m_nManualCollationId = static_cast<std::int64_t>(collation_->itemData(index).value<quint32>());
}

void CKestrelFileSettingDlg::accept() {
    const QString path = dataPath_->text();
    if (!path.toUpper().contains(QStringLiteral(".MDF")) || !QFileInfo::exists(path)) {
        prompts_.Information(this, Text(kInvalidSqlPath));
        return;
    }
    QString folder = logFolder_->text();
    if (folder.isEmpty() || !QFileInfo::exists(folder)) {
        prompts_.Information(this, Text(kInvalidLogPath));
        return;
    }
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    state_.m_strLogFolder = folder.toStdString();
    state_.m_strMdfPath = path.toStdString();
    if (mode_->currentIndex() == 0) state_.m_nRecoveryMode = pw::kRecoveryModeStandard;
    if (mode_->currentIndex() == 1) state_.m_nRecoveryMode = pw::kRecoveryModeAdvanced;
    state_.m_bIsSql2000 = sql2000_->isChecked();
    state_.m_bShowDeleted = deleted_->isChecked();
    state_.m_bShowAdvancedDeleted = advancedDeleted_->isChecked();
    QDialog::accept();
}

}  // namespace app
