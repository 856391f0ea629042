#include "support/Logger.h"

#include "support/LogFileName.h"

namespace pw {

std::string LogSeparatorBlock() { return "\r\n" + std::string(80, '*') + "\r\n"; }

void Logger::SetObserver(LogObserver* pane) {
    const std::lock_guard<std::mutex> lock(mutex_);
    pane_ = pane;
}

void Logger::ResetPane() {
    const std::lock_guard<std::mutex> lock(mutex_);
    state_.m_nLogLines = 0;
    state_.m_fileLog.Close();
}

bool Logger::StartLogFile() { return StartLogFile(LocalTimeNow()); }

bool Logger::StartLogFile(const std::tm& localTime) {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::string folder = state_.m_strLogFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    state_.m_strLogFilePath = folder + LogFileName(localTime);
    state_.m_fileLog.Close();
    const bool opened = state_.m_fileLog.OpenToAppend(state_.m_strLogFilePath);
    if (opened) {
        state_.m_fileLog.WriteText(LogSeparatorBlock());
    } else {
        AddLineLocked("Log file cannot be created: " + state_.m_strLogFilePath);
    }
    AddLineLocked(state_.m_strMdfPath + kLogSelectedFileSuffix);
    return opened;
}

void Logger::AddLine(const std::string& text) {
    const std::lock_guard<std::mutex> lock(mutex_);
    AddLineLocked(text);
}

void Logger::AddLineLocked(const std::string& text) {
    const std::int32_t index = state_.m_nLogLines.fetch_add(1);
    if (pane_ != nullptr) pane_->LineAdded(index, text);
    state_.m_fileLog.WriteLine(text);
}

void Logger::ReplaceLastLine(const std::string& text) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const std::int32_t lines = state_.m_nLogLines.load();
    if (lines <= 0) return;
    if (pane_ != nullptr) pane_->LineReplaced(lines - 1, text);
}

void Logger::WriteFileLine(const std::string& text) {
    const std::lock_guard<std::mutex> lock(mutex_);
    state_.m_fileLog.WriteLine(text);
}

}  // namespace pw
