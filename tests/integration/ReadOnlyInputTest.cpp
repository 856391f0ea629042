// The data files are never written: every input hashes the same before and
// after a full recovery in both listing modes, a file without write
// permission opens, and the descriptor the file set holds is read-only.

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "RecoveryRun.h"
#include "forge/RecordingEventSink.h"
#include "forge/SampleDatabase.h"
#include "forge/TempFolder.h"
#include "pages/DatabaseFileSet.h"

namespace {

using integration::ListingMode;

struct Stamp {
    std::string digest;
    std::int64_t modified = 0;
    mode_t mode = 0;
    friend bool operator==(const Stamp&, const Stamp&) = default;
};

Stamp StampOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return {integration::FileDigest(path), static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            st.st_mode};
}

// Recovers the file in both modes and checks that neither it nor its secondary changed.
void ExpectUnchangedByRecovery(const std::string& path, bool expectRows, const std::vector<std::string>& alsoUnchanged = {}) {
    SCOPED_TRACE(path);
    std::vector<std::string> paths{path};
    paths.insert(paths.end(), alsoUnchanged.begin(), alsoUnchanged.end());
    std::vector<Stamp> before;
    for (const std::string& p : paths) before.push_back(StampOf(p));
    std::size_t rows = 0;
    for (const ListingMode mode : {ListingMode::kStandard, ListingMode::kAdvanced}) {
        const integration::RecoveryResult result = integration::RunRecovery(path, mode);
        EXPECT_TRUE(result.opened);
        rows += result.RowCount();
    }
    for (std::size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(StampOf(paths[i]), before[i]) << paths[i];
    if (expectRows) {
        EXPECT_GT(rows, 0u) << "the recovery listed nothing, so it proves little";
    }
}

// The access mode of every descriptor of this process open on `path` (O_RDONLY, O_WRONLY or O_RDWR).
std::vector<int> AccessModesOfOpenDescriptors(const std::string& path) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) return {};
    std::vector<int> modes;
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir) return {};
    while (const dirent* entry = ::readdir(dir)) {
        const std::string fd = entry->d_name;
        if (fd == "." || fd == "..") continue;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(("/proc/self/fd/" + fd).c_str(), target, sizeof target - 1);
        if (n <= 0) continue;
        target[n] = '\0';
        if (std::string(target) != resolved) continue;
        std::ifstream info("/proc/self/fdinfo/" + fd);
        std::string line;
        while (std::getline(info, line)) {
            if (line.rfind("flags:", 0) == 0) {
                const long flags = std::stol(line.substr(6), nullptr, 8);
                modes.push_back(static_cast<int>(flags & O_ACCMODE));
            }
        }
    }
    ::closedir(dir);
    return modes;
}

TEST(ReadOnlyInput, ForgeFilesAreNotChangedByRecovery) {
    forge::TempFolder folder;
    forge::SampleDatabase db = forge::BuildSampleDatabase(12);
    const std::string primary = folder.File("sample.mdf");
    const std::string secondary = folder.File("sample_2.ndf");
    ASSERT_TRUE(forge::WriteFile(primary, db.Bytes()));
    ASSERT_TRUE(forge::WriteFile(secondary, forge::SampleDatabase::SecondaryFile()));
    // Writable files: a write would go through and change the digest or the time stamp.
    ASSERT_EQ(::chmod(primary.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(secondary.c_str(), 0644), 0);
    ExpectUnchangedByRecovery(primary, true, {secondary});
}

TEST(ReadOnlyInput, CorpusFilesAreNotChangedByRecovery) {
    const std::vector<std::string> files = integration::CorpusDataFiles();
    if (files.empty()) GTEST_SKIP() << "no real data files at " << integration::CorpusFolder();
    for (const std::string& name : files) {
        if (name.ends_with(".ndf")) continue;  // a secondary file alone lists no table
        ExpectUnchangedByRecovery(integration::CorpusFolder() + name, false);
    }
}

TEST(ReadOnlyInput, FileWithoutWritePermissionOpensAndItsDescriptorIsReadOnly) {
    forge::TempFolder folder;
    forge::SampleDatabase db = forge::BuildSampleDatabase(4);
    const std::string primary = folder.File("locked.mdf");
    ASSERT_TRUE(forge::WriteFile(primary, db.Bytes()));
    ASSERT_EQ(::chmod(primary.c_str(), 0444), 0);

    pw::AppState state;
    forge::RecordingEventSink sink;
    auto files = pw::CDatabaseFileSet::OpenFileSet(primary, state, sink);
    ASSERT_TRUE(files->IsOpened()) << (sink.fatalErrors.empty() ? "" : sink.fatalErrors.front());
    EXPECT_TRUE(sink.fatalErrors.empty());
    EXPECT_TRUE(files->ReadPage(1, 9).has_value());

    // The primary file stays open for the file set's life: exactly one descriptor, read-only.
    const std::vector<int> modes = AccessModesOfOpenDescriptors(primary);
    ASSERT_EQ(modes.size(), 1u);
    EXPECT_EQ(modes.front(), O_RDONLY);
    files.reset();
    EXPECT_TRUE(AccessModesOfOpenDescriptors(primary).empty());
    ASSERT_EQ(::chmod(primary.c_str(), 0644), 0);  // so the folder can be removed
}

}  // namespace
