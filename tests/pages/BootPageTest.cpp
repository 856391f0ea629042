#include <gtest/gtest.h>

#include "FileSetTestSupport.h"
#include "pages/BootPage.h"
#include "pages/SqlVersion.h"
#include "support/Utf.h"

namespace {

using forge::BootPageFields;
using forge::DataFileBuilder;

TEST(SqlVersion, TextOfEachVersion) {
    const std::pair<std::uint16_t, const char*> cases[] = {
        {408, " SQL Server 6.5"},  {515, " SQL Server 7.0"},  {539, " SQL Server 2000"},
        {611, " SQL Server 2005"}, {612, " SQL Server 2005 SP2+ with VarDecimal enabled"},
        {655, " SQL Server 2008"}, {660, " SQL Server 2008 R2"}, {661, " SQL Server 2008 R2"},
        {684, " SQL Server 2012 CTP1"}, {706, " SQL Server 2012"}, {782, " SQL Server 2014"},
        {852, " SQL Server 2016"}, {868, " SQL Server 2017"}, {869, " SQL Server 2017"},
        {904, " SQL Server 2019"}, {957, " SQL Server 2022"}, {998, " SQL Server 2025"},
        {700, "Unknown SQL Version"}, {0, "Unknown SQL Version"}, {65535, "Unknown SQL Version"},
    };
    for (const auto& [version, text] : cases) EXPECT_EQ(pw::SqlVersionText(version), text) << version;
}

TEST(SqlVersion, CatalogLayout) {
    EXPECT_EQ(pw::CatalogLayoutOfVersion(539), pw::CatalogLayout::kSql2000);
    EXPECT_EQ(pw::CatalogLayoutOfVersion(515), pw::CatalogLayout::kSql2000);
    EXPECT_EQ(pw::CatalogLayoutOfVersion(611), pw::CatalogLayout::kSql2005);
    EXPECT_EQ(pw::CatalogLayoutOfVersion(998), pw::CatalogLayout::kSql2005);
    EXPECT_EQ(pw::CatalogLayoutOfVersion(0), pw::CatalogLayout::kSql2005);
}

TEST(BootPage, DatabaseNames) {
    const std::string longName(104, 'n');
    const std::pair<std::string, std::string> cases[] = {
        {"Sales", "Sales"},
        {"Sales Archive", "Sales Archive"},  // blanks inside the name belong to it
        {"D:\\WEB PROJECTS 4.0\\NORTHWND.MDF", "D:\\WEB PROJECTS 4.0\\NORTHWND.MDF"},
        {"\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB4\xD0\xB0\xD0\xB6\xD0\xB8", "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB4\xD0\xB0\xD0\xB6\xD0\xB8"},
        {"\xE6\x95\xB0\xE6\x8D\xAE", "\xE6\x95\xB0\xE6\x8D\xAE"},
        {"Trailing ", "Trailing "},
        {longName, longName},  // all 104 units used, no padding
        {"", ""},
    };
    for (const auto& [stored, expected] : cases) {
        const pw::PageImage image = forge::BootPageImage(BootPageFields{661, 661, stored, 0});
        EXPECT_EQ(pw::DecodeDatabaseName(pw::ByteView(image.data(), image.size()).Sub(148, 208)), expected);
    }
}

class BootCollation : public testing::Test {
protected:
    void SetUp() override {
        state.m_mapCollations[872468488] = {"SQL_Latin1_General_CP1_CI_AS", 1252};
        state.m_mapCollations[53256] = {"Latin1_General_CI_AS", 1252};
        state.m_mapCollations[53280] = {"Vietnamese_CI_AS", 1258};
        state.m_mapCollations[-5] = {"Negative_Test", 437};
    }
    pw::AppState state;
};

TEST_F(BootCollation, AutomaticByTheWholeId) {
    EXPECT_TRUE(pw::ResolveCollation(state, 872468488));
    EXPECT_TRUE(state.m_bCollationResolved);
    EXPECT_EQ(state.m_nCollationId, 872468488);
    EXPECT_EQ(state.m_strCollationName, "SQL_Latin1_General_CP1_CI_AS");
    EXPECT_EQ(state.m_nCodePage, 1252);
    EXPECT_TRUE(pw::ResolveCollation(state, -5));  // sign-extended
    EXPECT_EQ(state.m_nCollationId, -5);
    EXPECT_EQ(state.m_nCodePage, 437);
}

TEST_F(BootCollation, AutomaticByTheLow16Bits) {
    EXPECT_TRUE(pw::ResolveCollation(state, 0x34000000 | 53280));
    EXPECT_EQ(state.m_nCollationId, 53280);
    EXPECT_EQ(state.m_strCollationName, "Vietnamese_CI_AS");
    EXPECT_EQ(state.m_nCodePage, 1258);
}

TEST_F(BootCollation, ManualIgnoresTheBootPage) {
    state.m_bAutoCollation = false;
    state.m_nManualCollationId = 53256;
    EXPECT_TRUE(pw::ResolveCollation(state, 53280));
    EXPECT_EQ(state.m_nCollationId, 53256);
    EXPECT_EQ(state.m_strCollationName, "Latin1_General_CI_AS");
}

TEST_F(BootCollation, UnknownIdsLeaveTheCollationAlone) {
    state.m_strCollationName = "Before";
    state.m_nCodePage = 850;
    EXPECT_FALSE(pw::ResolveCollation(state, 12345));
    state.m_bAutoCollation = false;
    state.m_nManualCollationId = 777;
    EXPECT_FALSE(pw::ResolveCollation(state, 872468488));
    EXPECT_FALSE(state.m_bCollationResolved);
    EXPECT_EQ(state.m_strCollationName, "Before");
    EXPECT_EQ(state.m_nCodePage, 850);
}

TEST(ReadBootPage, UndamagedFile) {
    pagestest::ScanFixture scan;
    scan.state.m_mapCollations[53256] = {"Latin1_General_CI_AS", 1252};
    pw::CDatabaseFileSet& files = scan.Open(DataFileBuilder(30).Boot({655, 539, "Sales Archive", 53256}));
    ASSERT_TRUE(files.IsOpened());
    files.ReadBootPage();
    EXPECT_EQ(files.databaseName, "Sales Archive");
    EXPECT_EQ(scan.state.m_strSqlVersion, " SQL Server 2008");
    EXPECT_EQ(scan.state.m_strCollationName, "Latin1_General_CI_AS");
    EXPECT_TRUE(files.BootFacts().found);
    EXPECT_EQ(files.BootFacts().pageType, pw::kBootPage);
    EXPECT_EQ(files.BootFacts().version, 655);
    EXPECT_EQ(files.BootFacts().createVersion, 539);
    EXPECT_EQ(files.BootFacts().collationId, 53256);
}

TEST(ReadBootPage, ShiftFoundThroughTheReferencePage) {
    struct Case {
        const char* label;
        std::int32_t referenceObject;
        std::uint32_t referencePosition;
        std::int64_t delta;
        std::uint32_t bootPosition;
        bool found;
    };
    const Case cases[] = {
        {"object 7 at 20 numbered 24", 7, 20, 4, 5, true},
        {"object 41 at 20 numbered 22", 41, 20, 2, 7, true},
        {"pages numbered below their positions", 7, 20, -3, 12, true},
        {"boot position would be 0", 7, 20, 9, 0, false},
        {"boot position past the end", 7, 20, -41, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        DataFileBuilder builder(50);
        builder.ObjectPage(c.referencePosition, c.referenceObject, pw::kDataPage).NumberPagesFrom(c.delta);
        if (c.found) builder.Boot({782, 782, "Shifted", 0}, c.bootPosition).NumberPagesFrom(c.delta);
        pagestest::ScanFixture scan;
        scan.state.m_strSqlVersion = "before";
        pw::CDatabaseFileSet& files = scan.Open(builder);
        ASSERT_TRUE(files.IsOpened());
        files.ReadBootPage();
        EXPECT_EQ(files.BootFacts().found, c.found);
        EXPECT_EQ(files.databaseName, c.found ? "Shifted" : "");
        EXPECT_EQ(scan.state.m_strSqlVersion, c.found ? " SQL Server 2014" : "before");
    }
}

TEST(ReadBootPage, ObjectSevenIsPreferredOverFortyOne) {
    DataFileBuilder builder(50);
    builder.ObjectPage(20, 41, pw::kDataPage).ObjectPage(30, 7, pw::kDataPage);
    forge::PutLE(builder.Page(20), 32, 25, 4);  // a damaged page of object 41 is not looked at
    pagestest::ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(builder.Boot({706, 706, "Seven", 0}));
    ASSERT_TRUE(files.IsOpened());
    files.ReadBootPage();
    EXPECT_EQ(files.databaseName, "Seven");
}

}  // namespace

namespace {

TEST(BootPage, BuiltFromAnImageWithoutRecords) {
    pw::AppState state;
    state.m_mapCollations[872468488] = {"SQL_Latin1_General_CP1_CI_AS", 1252};
    pw::PageImage image = forge::BootPageImage({904, 611, "Lager", 872468488});
    forge::PutLE(image, 22, 1, 2);       // one slot: the boot record at 96
    forge::PutLE(image, 8190, 96, 2);
    const pw::CBootPage boot(std::move(image), nullptr, state);
    EXPECT_TRUE(boot.records.empty());
    EXPECT_EQ(boot.versionNumber, 904);
    EXPECT_EQ(boot.createVersion, 611);
    EXPECT_EQ(boot.databaseName, "Lager");
    EXPECT_EQ(boot.collationId, 872468488);
    EXPECT_EQ(boot.BootRecord().U16(0), 904);
    EXPECT_EQ(state.m_strSqlVersion, " SQL Server 2019");
    EXPECT_EQ(state.m_strCollationName, "SQL_Latin1_General_CP1_CI_AS");
}

}  // namespace
