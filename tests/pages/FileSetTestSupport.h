#pragma once
// Shared helpers of the file set tests.

#include <memory>
#include <string>

#include "forge/DataFileBuilder.h"
#include "forge/RecordingEventSink.h"
#include "forge/TempFolder.h"
#include "pages/DatabaseFileSet.h"
#include "support/AppState.h"

namespace pagestest {

inline constexpr char kCannotOpen[] = "File cannot be open...........";
inline constexpr char kNotValid[] = "Wheteher File is not valid mdf file or file is highly corrupted...........";

// A temporary folder, the state and sink of one scan, and the file set opened there.
struct ScanFixture {
    forge::TempFolder folder;
    pw::AppState state;
    forge::RecordingEventSink sink;
    std::unique_ptr<pw::CDatabaseFileSet> files;

    // Writes `bytes` as `name` in the folder and opens it as the primary file.
    pw::CDatabaseFileSet& Open(const std::string& bytes, const std::string& name = "db.mdf") {
        forge::WriteFile(folder.File(name), bytes);
        files = pw::CDatabaseFileSet::OpenFileSet(folder.File(name), state, sink);
        return *files;
    }
    pw::CDatabaseFileSet& Open(const forge::DataFileBuilder& builder, const std::string& name = "db.mdf") {
        return Open(builder.Bytes(), name);
    }
};

}  // namespace pagestest
