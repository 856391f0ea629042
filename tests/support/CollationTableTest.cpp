#include <gtest/gtest.h>

#include <sstream>

#include "support/AppState.h"
#include "support/CollationTable.h"

namespace {

using pw::CollationMap;

struct LineCase {
    const char* line;
    bool added;
    std::int64_t key;
    const char* name;
    std::int32_t codePage;
};

TEST(CollationTable, LineRules) {
    const LineCase cases[] = {
        {"A\t7\t1250", true, 7, "A", 1250},
        {"A\t7\t1250\r", true, 7, "A", 1250},             // CR LF files
        {"B\t7", false, 0, "", 0},                         // only one TAB
        {"B\t", false, 0, "", 0},                          // ends right after the first TAB
        {"", false, 0, "", 0},
        {"no tabs at all", false, 0, "", 0},
        {"Letters\tabc\txyz", true, 0, "Letters", 0},      // non-numeric fields become 0
        {"Neg\t-5\t1252\textra", true, -5, "Neg", 1252},   // sign-extended, fourth field ignored
        {"Pad\t  +42xyz\t 932 tail", true, 42, "Pad", 932},
        {"Big\t99999999999\t-99999999999", true, 2147483647, "Big", -2147483647 - 1},
        {"\t1\t2", true, 1, "", 2},                        // an empty name is still a name
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.line);
        CollationMap table;
        EXPECT_EQ(pw::ParseCollationLine(c.line, table), c.added);
        if (!c.added) {
            EXPECT_TRUE(table.empty());
            continue;
        }
        ASSERT_EQ(table.size(), 1u);
        EXPECT_EQ(table.begin()->first, c.key);
        EXPECT_EQ(table.begin()->second.strName, c.name);
        EXPECT_EQ(table.begin()->second.nCodePage, c.codePage);
    }
}

TEST(CollationTable, LaterLineWinsAndKeysAreOrdered) {
    std::istringstream file("Z\t9\t1\nFirst\t3\t1250\r\nbroken line\nSecond\t3\t1251\n");
    CollationMap table;
    pw::ReadCollationTable(file, table);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.begin()->first, 3);
    EXPECT_EQ(table.at(3).strName, "Second");
    EXPECT_EQ(table.at(3).nCodePage, 1251);
}

TEST(CollationTable, MissingFileLeavesTableEmpty) {
    CollationMap table;
    pw::LoadCollationTable("/nonexistent-folder/pagewright-cli", table);
    EXPECT_TRUE(table.empty());
}

TEST(CollationTable, ShippedFileLoadsBesideTheExecutables) {
    CollationMap table;
    pw::LoadCollationTable(std::string(PAGEWRIGHT_BIN_DIR) + "/pagewright-cli", table);
    ASSERT_FALSE(table.empty());
    // SQL_Latin1_General_CP1_CI_AS, the most common server default.
    ASSERT_TRUE(table.count(872468488));
    EXPECT_EQ(table.at(872468488).strName, "SQL_Latin1_General_CP1_CI_AS");
    EXPECT_EQ(table.at(872468488).nCodePage, 1252);
}

TEST(AppState, InitialValues) {
    pw::AppState state;
    EXPECT_EQ(state.m_nAppLook, 215);
    EXPECT_EQ(state.m_bBusy.load(), 0);
    EXPECT_EQ(state.m_pRowReader.load(), nullptr);
    EXPECT_FALSE(state.m_bStopRequested.load());
    EXPECT_EQ(state.m_nCollationId, -1);
    EXPECT_EQ(state.m_nCodePage, 1252);
    EXPECT_TRUE(state.m_bAutoCollation);
    EXPECT_EQ(state.m_nRecoveryMode, pw::kRecoveryModeNotChosen);
    EXPECT_FALSE(state.m_fileLog.IsOpen());
}

}  // namespace
