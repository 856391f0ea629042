#pragma once
// Logger: every log line goes to the pane (through a LogObserver) and to the
// log file of the current Open command.
//
// The log file is UTF-16LE, starting with the byte-order mark, each line
// followed by CR LF. One file is started per Open command, in the log folder,
// named after the local time (LogFileName.h); each start first writes a
// separator block ("\r\n", 80 asterisks, "\r\n", no further line end) to the
// file only, so the parts of one file written by different Open commands are
// told apart. The file is flushed after every write, so it is complete up to
// the last line even when the process ends abruptly.
//
// The state lives in the application state record: m_nLogLines (lines in
// the pane, the index of the next one), m_fileLog, m_strLogFilePath and
// m_strLogFolder. Front ends forward the EventSink's LogLine here.

#include <ctime>
#include <mutex>
#include <string>

#include "support/AppState.h"
#include "support/LogObserver.h"

namespace pw {

inline constexpr char kLogSelectedFileSuffix[] = " File is selected for recovery....";

// "\r\n" + 80 asterisks + "\r\n".
std::string LogSeparatorBlock();

class Logger {
public:
    // `pane` may be null (no pane: lines are counted and written to the file only).
    explicit Logger(AppState& state, LogObserver* pane = nullptr) : state_(state), pane_(pane) {}
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    void SetObserver(LogObserver* pane);

    // A new, empty pane (main window creation): no lines, no open log file.
    void ResetPane();

    // Starts the log file of an Open command at the current local time (or at
    // `localTime`): m_strLogFilePath becomes the log folder + LogFileName; the
    // previous file is closed; the file is created with the byte-order mark,
    // or, when it exists already (a second start within the same second),
    // added to at its end; the separator block is written; then the line
    // m_strMdfPath + " File is selected for recovery...." is added. When the
    // file can be neither created nor opened, a line saying so is added, the
    // log goes on in the pane only, and the result is false.
    bool StartLogFile();
    bool StartLogFile(const std::tm& localTime);

    // Adds a line at index m_nLogLines of the pane, increases m_nLogLines and
    // writes the line to the log file.
    void AddLine(const std::string& text);

    // Puts `text` in place of the last pane line (index m_nLogLines - 1). The
    // line count stays and nothing is written to the file. Does nothing while
    // the pane has no line.
    void ReplaceLastLine(const std::string& text);

    // Writes `text` and a line end to the log file only; the pane and the
    // line count stay (the record browser's row counter, which replaces the
    // last pane line, is also kept in the file this way).
    void WriteFileLine(const std::string& text);

private:
    void AddLineLocked(const std::string& text);

    AppState& state_;
    LogObserver* pane_ = nullptr;
    // Workers and the front end may log at the same time: the lock keeps the
    // pane's line numbers and the file's line order the same.
    std::mutex mutex_;
};

}  // namespace pw
