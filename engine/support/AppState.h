#pragma once
// The application-wide state record.
//
// Options, the busy and stop flags and the collation in effect are exchanged
// through this one record between the settings, the front end and the engine.
// The engine holds no global state: the GUI's application object owns one,
// each command-line run and each test makes its own, and engine code receives
// it by reference. The flags written by one thread and polled by another are
// atomic; the rest is touched by one worker at a time.

#include <atomic>
#include <cstdint>
#include <string>

#include "support/CollationTable.h"
#include "support/LogFile.h"

namespace pw {

// The column description of the listing in progress (defined with the row decoder).
struct WorkingTable;

enum RecoveryMode : std::int32_t {
    kRecoveryModeNotChosen = 0,
    kRecoveryModeStandard = 1,
    kRecoveryModeAdvanced = 2,
};

struct AppState {
    // Visual style of the main window; the GUI reads its saved value at start.
    std::int32_t m_nAppLook = 215;
    // A worker (scan, selection, paging) runs; set by the front end, cleared by the worker.
    std::atomic<std::int32_t> m_bBusy{0};
    // The working table of the listing in progress; owned by the record browser.
    std::atomic<WorkingTable*> m_pRowReader{nullptr};
    // Lines in the log pane; index of the next line.
    std::atomic<std::int32_t> m_nLogLines{0};
    // Set by Stop, polled by every loop over pages, records and links.
    std::atomic<bool> m_bStopRequested{false};
    // A table listing runs (large values are then shown as placeholders).
    std::atomic<bool> m_bListing{false};
    // The database uses the SQL Server 2000 catalog layout.
    bool m_bIsSql2000 = false;
    bool m_bShowDeleted = false;
    bool m_bShowAdvancedDeleted = false;
    LogFile m_fileLog;
    std::string m_strSqlVersion;
    std::int32_t m_nRecoveryMode = kRecoveryModeNotChosen;
    std::string m_strMdfPath;
    std::string m_strLogFilePath;
    // Folder for log files, ending with a path separator once set.
    std::string m_strLogFolder;
    CollationMap m_mapCollations;
    bool m_bCollationResolved = false;
    std::int64_t m_nCollationId = -1;
    // Windows code page of 8-bit character data in the open database.
    std::int32_t m_nCodePage = 1252;
    std::string m_strCollationName;
    // Take the collation from the boot page (true) or use m_nManualCollationId.
    bool m_bAutoCollation = true;
    std::int64_t m_nManualCollationId = 0;
    // The "system ANSI code page" the original took from Windows: a setting here.
    std::int32_t m_nAnsiCodePage = 1252;

    bool StopRequested() const { return m_bStopRequested.load(std::memory_order_relaxed); }
};

}  // namespace pw
