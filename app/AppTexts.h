#pragma once
// Fixed names and texts of the desktop application.

namespace app {

inline constexpr char kAppTitle[] = "Kestrelbyte Pagewright v8.04";
inline constexpr char kProductName[] = "Kestrelbyte Pagewright";
// Settings (window layout, visual style) live under this key.
inline constexpr char kSettingsKey[] = "KestrelbyteSQLRepFullv8.04";
inline constexpr char kSettingsAppLook[] = "ApplicationLook";
// One instance per machine: the lock file in the temporary folder is named
// after this machine-wide name (its backslash made a file-name character).
inline constexpr char kInstanceName[] = "Global\\{KESTRELBYTESQLRECV1.0_EXE_RUNNING1}";
// The user manual shipped beside the executable.
inline constexpr char kManualFile[] = "pagewright-manual.html";

// Start-up.
inline constexpr char kAnotherInstance[] = "Another instance of application is already running";

// Main window.
inline constexpr char kCaptionInitial[] = "Select MDF database file to continue the recovery process.";
inline constexpr char kWaitRunning[] = "Please wait for the running process.";
inline constexpr char kStopQuestion[] = "Are you sure to stop the running process?";
inline constexpr char kStopToContinue[] = "Please stop the running process to continue the process.";
inline constexpr char kStopToClose[] = "Please stop the running process to close the application.";
inline constexpr char kCloseQuestion[] = "Do you want to close the application?";
inline constexpr char kLogPathPrefix[] = "Log file path : ";
inline constexpr char kTipOpen[] = "Open Database file";
inline constexpr char kTipStop[] = "Stop running process";
inline constexpr char kTipHelp[] = "Help for Kestrelbyte Pagewright";
inline constexpr char kTipAbout[] = "About Kestrelbyte Pagewright";
inline constexpr char kTreePaneTitle[] = "MS SQL Database Objects";
inline constexpr char kOutputPaneTitle[] = "Output";

// Settings dialog.
inline constexpr char kSettingsTitle[] = "Select Corrupted MDF file";
inline constexpr char kPickValidMdf[] = "Please select valid mdf file.";
inline constexpr char kInvalidSqlPath[] = "Please select valid SQL file path to continue the recovery process.";
inline constexpr char kInvalidLogPath[] = "Please select valid Log file path to continue the recovery process.";
inline constexpr char kPickLogFolderTitle[] = "Select location to save Log file(s).";
inline constexpr char kStandardMode[] = "Standard Mode";
inline constexpr char kAdvancedMode[] = "Advanced Mode";

// Record browser panel.
inline constexpr char kTipPrevious[] = "Previous Records";
inline constexpr char kTipNext[] = "Next Records";

}  // namespace app
