#include "MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QShowEvent>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "AboutDialog.h"
#include "AppTexts.h"
#include "GuiThread.h"
#include "ObjectTreeControl.h"
#include "OutputPane.h"
#include "RecordBrowserPanel.h"
#include "RecoveryEngine.h"
#include "SettingsDialog.h"
#include "UserPrompts.h"
#include "workflow/FailureExplanation.h"

namespace app {

namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

}  // namespace

// ---- caption bar ------------------------------------------------------------------

CMyCaptionBar::CMyCaptionBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("captionBar"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::ToolTipText));
    setPalette(palette);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 5, 8, 5);
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(20, 20));
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("captionText"));
    text_->setTextFormat(Qt::PlainText);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path must not widen the window: the label may shrink.
    text_->setMinimumWidth(50);
    text_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(icon);
    layout->addWidget(text_, 1);
}

void CMyCaptionBar::SetText(const QString& text) {
    text_->setText(text);
    text_->setToolTip(text);
}

QString CMyCaptionBar::Text() const { return text_->text(); }

// ---- event sink ---------------------------------------------------------------------

void GuiEventSink::ProgressRange(std::int64_t low, std::int64_t high) {
    CMainFrame* frame = &frame_;
    Post(frame, [frame, low, high] { frame->SetProgressRange(low, high); });
}

void GuiEventSink::ProgressPosition(std::int64_t position) {
    latestPosition_.store(position);
    if (positionPending_.exchange(true)) return;
    CMainFrame* frame = &frame_;
    Post(frame, [this, frame] {
        positionPending_.store(false);
        frame->SetProgressPosition(latestPosition_.load());
    });
}

void GuiEventSink::StatusText(const std::string& text) {
    CMainFrame* frame = &frame_;
    QString line = QString::fromStdString(text);
    Post(frame, [frame, line] { frame->Browser()->SetText(line); });
}

void GuiEventSink::LogLine(const std::string& text) { frame_.Log().AddLine(text); }

void GuiEventSink::FatalError(const std::string& text) {
    // The worker waits while the box is shown, as with a sent message.
    CMainFrame* frame = &frame_;
    QString message = QString::fromStdString(text);
    Call(frame, [frame, message] { frame->ShowFatalError(message); });
    // Only the opening of the data file fails this way. The box keeps the
    // engine's short text; the log pane says what went wrong and what to try.
    LogLine(pw::ExplainUnreadableFile(frame_.State().m_strMdfPath));
}

// ---- main window ----------------------------------------------------------------------

CMainFrame::CMainFrame(pw::AppState& state, pw::Logger& logger, UserPrompts& prompts, QSettings& settings,
                       QWidget* parent)
    : QMainWindow(parent), state_(state), logger_(logger), prompts_(prompts), settings_(settings) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(Text(kAppTitle));
    state_.m_nAppLook = settings_.value(QString::fromUtf8(kSettingsAppLook), 215).toInt();

    CreateActions();
    CreateStatusBar();
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks | QMainWindow::AllowNestedDocks);

    // Central view: the caption bar above the record browser panel.
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    caption_ = new CMyCaptionBar(central);
    browser_ = new CKestrelStatic(central);
    layout->addWidget(caption_);
    layout->addWidget(browser_, 1);
    setCentralWidget(central);

    fileView_ = new CFileView(this);
    fileView_->setMinimumWidth(200);
    addDockWidget(Qt::LeftDockWidgetArea, fileView_);
    output_ = new COutputWnd(this);
    addDockWidget(Qt::BottomDockWidgetArea, output_);
    layoutRestored_ = restoreState(settings_.value(QStringLiteral("WindowState")).toByteArray());

    caption_->SetText(Text(kCaptionInitial));
    progress_->hide();

    // The pane shows every log line; a new frame starts with an empty pane.
    logger_.ResetPane();
    logger_.SetObserver(output_);

    engine_ = std::make_unique<RecoveryEngine>(*this);
    connect(Tree(), &CXHtmlTree::LabelClicked, this, &CMainFrame::OnTreeLabelClicked, Qt::QueuedConnection);
    connect(browser_, &CKestrelStatic::PreviousClicked, this, &CMainFrame::OnPreviousRecords);
    connect(browser_, &CKestrelStatic::NextClicked, this, &CMainFrame::OnNextRecords);

    // Workers clear m_bBusy themselves: the Stop button follows the flag.
    busyWatch_ = new QTimer(this);
    busyWatch_->setInterval(100);
    connect(busyWatch_, &QTimer::timeout, this, &CMainFrame::UpdateCommandStates);
    busyWatch_->start();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
    // A worker still ending must not outlive the objects it uses; it may be
    // waiting for this thread, so the event loop runs meanwhile.
    if (WorkerRunning()) {
        state_.m_bStopRequested = true;
        WaitForWorker();
    }
    engine_.reset();
    logger_.SetObserver(nullptr);
}

void CMainFrame::WaitForWorker() {
    if (!WorkerRunning()) return;
    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
        if (!WorkerRunning()) loop.quit();
    });
    poll.start(10);
    loop.exec();
    UpdateCommandStates();
}

CXHtmlTree* CMainFrame::Tree() const { return fileView_->Tree(); }

void CMainFrame::CreateActions() {
    auto* bar = new QToolBar(QStringLiteral("Pagewright"), this);
    bar->setObjectName(QStringLiteral("ribbon"));
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setMovable(false);
    QStyle* s = style();
    openAction_ = bar->addAction(s->standardIcon(QStyle::SP_DialogOpenButton), QStringLiteral("Open"));
    stopAction_ = bar->addAction(s->standardIcon(QStyle::SP_BrowserStop), QStringLiteral("Stop"));
    bar->addSeparator();
    helpAction_ = bar->addAction(s->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("Help"));
    aboutAction_ = bar->addAction(s->standardIcon(QStyle::SP_MessageBoxInformation), QStringLiteral("About"));
    openAction_->setToolTip(Text(kTipOpen));
    stopAction_->setToolTip(Text(kTipStop));
    helpAction_->setToolTip(Text(kTipHelp));
    aboutAction_->setToolTip(Text(kTipAbout));
    openAction_->setShortcut(QKeySequence::Open);
    helpAction_->setShortcut(QKeySequence::HelpContents);
    for (QAction* action : bar->actions()) {
        if (QWidget* button = bar->widgetForAction(action)) button->setMinimumWidth(64);
    }
    connect(openAction_, &QAction::triggered, this, [this] { OnOpen(); });
    connect(stopAction_, &QAction::triggered, this, &CMainFrame::OnStop);
    connect(helpAction_, &QAction::triggered, this, &CMainFrame::OnHelp);
    connect(aboutAction_, &QAction::triggered, this, &CMainFrame::OnAbout);
    addToolBar(Qt::TopToolBarArea, bar);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    auto* link = new QLabel(bar);
    link->setObjectName(QStringLiteral("productLink"));
    link->setTextFormat(Qt::RichText);
    link->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                      .arg(QUrl::fromLocalFile(ManualPath()).toString(), Text(kProductName)));
    link->setToolTip(Text(kProductName));
    link->setContentsMargins(6, 0, 12, 0);
    connect(link, &QLabel::linkActivated, this, [this](const QString&) { OnHelp(); });
    progress_ = new QProgressBar(bar);
    progress_->setObjectName(QStringLiteral("progressBar"));
    progress_->setTextVisible(false);
    progress_->setFixedHeight(17);
    auto* title = new QLabel(Text(kAppTitle), bar);
    title->setObjectName(QStringLiteral("titlePane"));
    title->setContentsMargins(12, 0, 6, 0);
    bar->addWidget(link);
    bar->addWidget(progress_, 1);
    bar->addPermanentWidget(title);
}

QString CMainFrame::ManualPath() const {
    return QDir(QCoreApplication::applicationDirPath()).filePath(Text(kManualFile));
}

bool CMainFrame::WorkerRunning() const { return engine_ != nullptr && engine_->WorkerRunning(); }

void CMainFrame::UpdateCommandStates() {
    stopAction_->setEnabled(Busy());
    // A worker that ended: what it queued is shown by now, so tell the waiters.
    const bool running = WorkerRunning();
    if (workerSeen_ && !running) {
        workerSeen_ = false;
        FlushQueued(this);
        engine_->WorkerEnded();
        emit WorkerFinished();
    }
    workerSeen_ = workerSeen_ || running;
}

// ---- commands -----------------------------------------------------------------------------

void CMainFrame::OnOpen(const QString& presetPath) {
    if (Busy() || WorkerRunning()) {
        prompts_.Information(this, Text(kWaitRunning));
        return;
    }
    {
        CKestrelFileSettingDlg dialog(state_, prompts_, this);
        if (!presetPath.isEmpty()) dialog.DataFilePath()->setText(presetPath);
        if (dialog.exec() != QDialog::Accepted) return;
    }
    SetProgressRange(0, 0);
    engine_->StartScan();
    UpdateCommandStates();
}

void CMainFrame::OnStop() {
    if (!Busy()) return;
    if (!prompts_.Question(this, Text(kStopQuestion), /*questionIcon=*/false)) return;
    engine_->Stop();
    UpdateCommandStates();
}

void CMainFrame::OnHelp() {
    if (Busy()) {
        prompts_.Information(this, Text(kStopToContinue));
        return;
    }
    prompts_.OpenUrl(QUrl::fromLocalFile(ManualPath()));
}

void CMainFrame::OnAbout() {
    if (Busy()) {
        prompts_.Information(this, Text(kStopToContinue));
        return;
    }
    CKestrelAboutDlg about(prompts_, ManualPath(), this);
    about.exec();
}

void CMainFrame::OnTreeLabelClicked(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    if (Busy() || WorkerRunning()) {
        // The selection stays on the item being worked on.
        Tree()->SelectItem(engine_->SelectedItem());
        prompts_.Information(this, Text(kWaitRunning));
        return;
    }
    engine_->StartSelection(item);
    UpdateCommandStates();
}

void CMainFrame::OnPreviousRecords() {
    if (Busy() || WorkerRunning()) {
        prompts_.Information(this, Text(kWaitRunning));
        return;
    }
    engine_->StartPaging(/*next=*/false);
    UpdateCommandStates();
}

void CMainFrame::OnNextRecords() {
    if (Busy() || WorkerRunning()) {
        prompts_.Information(this, Text(kWaitRunning));
        return;
    }
    engine_->StartPaging(/*next=*/true);
    UpdateCommandStates();
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    // The first run: panes wide enough for object names and log lines.
    if (!layoutRestored_) {
        QTimer::singleShot(0, this, [this] {
            resizeDocks({fileView_}, {340}, Qt::Horizontal);
            resizeDocks({output_}, {180}, Qt::Vertical);
        });
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (Busy()) {
        prompts_.Information(this, Text(kStopToClose));
        event->ignore();
        return;
    }
    if (!prompts_.Question(this, Text(kCloseQuestion), /*questionIcon=*/true)) {
        event->ignore();
        return;
    }
    // After Stop a worker may still be ending: let it end first.
    if (WorkerRunning()) {
        state_.m_bStopRequested = true;
        WaitForWorker();
    }
    engine_->Release();
    const QString logPath = QString::fromStdString(state_.m_strLogFilePath);
    if (!logPath.isEmpty() && QFileInfo::exists(logPath)) prompts_.Information(this, Text(kLogPathPrefix) + logPath);
    state_.m_fileLog.Close();
    settings_.setValue(QStringLiteral("WindowState"), saveState());
    settings_.setValue(QString::fromUtf8(kSettingsAppLook), state_.m_nAppLook);
    settings_.sync();
    event->accept();
}

// ---- widgets seen by the workers ------------------------------------------------------------

void CMainFrame::SetProgressRange(std::int64_t low, std::int64_t high) {
    if (high < low) high = low;
    progressLow_ = low;
    progressHigh_ = high;
    // The bar holds int values: wide ranges are scaled down by a power of two.
    progressShift_ = 0;
    while (((high - low) >> progressShift_) > 1'000'000'000) ++progressShift_;
    progress_->setRange(0, static_cast<int>((high - low) >> progressShift_));
    progress_->setValue(0);
}

void CMainFrame::SetProgressPosition(std::int64_t position) {
    position = std::clamp(position, progressLow_, progressHigh_);
    progress_->setValue(static_cast<int>((position - progressLow_) >> progressShift_));
}

void CMainFrame::ShowProgress(bool show) { progress_->setVisible(show); }

void CMainFrame::SetCaption(const QString& text) { caption_->SetText(text); }

void CMainFrame::ShowFatalError(const QString& text) {
    SetProgressPosition(progressLow_);
    browser_->SetText(QString());
    // The engine objects are released when the worker that reported the error ends.
    engine_->ReleaseAfterWorker();
    prompts_.Error(this, text);
}

void CMainFrame::ShowInformation(const QString& text) { prompts_.Information(this, text); }

}  // namespace app
