// Definition texts read from sysobjvalues rows: fragments joined in page and
// slot order, the single-byte fragment rule, computed-column texts and the
// log lines of the definition reader.

#include <gtest/gtest.h>

#include "CatalogTestSupport.h"
#include "catalog/HexValue.h"
#include "catalog/ModuleDefinitions.h"
#include "catalog/SystemRowBuilders.h"
#include "forge/LobBuilder.h"
#include "rows/RenderContext.h"
#include "support/CodePage.h"

namespace {

using catalogtest::LoadedCatalog;
using forge::Bytes;
using forge::CatalogFileBuilder;

// A sysobjvalues row: valclass, objid, subobjid, valnum, value (empty), imageval.
Bytes ObjValue(std::uint8_t valueClass, std::int32_t objectId, std::int32_t subId, const Bytes& image) {
    forge::Fixed fixed(13);
    fixed.Put(0, valueClass, 1).Put(1, static_cast<std::uint32_t>(objectId), 4).Put(5, static_cast<std::uint32_t>(subId), 4);
    return forge::PlainRecord(fixed.bytes(), {{}, image}, 0, 6);
}

class ModuleDefinitions : public ::testing::Test {
protected:
    LoadedCatalog db;
    pw::CodePageConverter codePages;

    pw::CCatalog& Load(const std::vector<std::vector<Bytes>>& valuePages) {
        CatalogFileBuilder b;
        b.Table(pw::kSysSchObjs, {forge::SchObjRecord(1000, "v", "V "), forge::SchObjRecord(1001, "p", "P ")});
        for (const std::vector<Bytes>& page : valuePages) b.Table(pw::kSysObjValues, page);
        return db.Load(b);
    }

    std::string Text(const std::string& key) {
        pw::RenderContext context{db.state, codePages};
        pw::DefinitionSource source{*db.catalog, *db.files, context, db.sink};
        return pw::ModuleText(source, key);
    }
};

TEST_F(ModuleDefinitions, ADefinitionSplitOverThreeRowsJoinsInPageAndSlotOrder) {
    // The sub-ids do not decide the order: the rows' places do.
    Load({{ObjValue(1, 1000, 2, forge::Utf16Bytes("CREATE VIEW v ")), ObjValue(1, 1001, 0, forge::Utf16Bytes("other"))},
          {ObjValue(1, 1000, 0, forge::Utf16Bytes("AS SELECT ")), ObjValue(1, 1000, 1, forge::Utf16Bytes("42"))}});
    EXPECT_EQ(Text("1000"), "CREATE VIEW v AS SELECT 42");
    EXPECT_EQ(Text("1001"), "other");
    EXPECT_EQ(Text("1002"), "");
    EXPECT_EQ(Text("100"), "");  // the key is compared exactly
}

TEST_F(ModuleDefinitions, ASingleByteFragmentThatRepeatsTheTextIsNotAddedTwice) {
    Load({{ObjValue(1, 1000, 0, forge::TextBytes("abc")), ObjValue(1, 1000, 0, forge::TextBytes("abc")),
           ObjValue(1, 1000, 0, forge::TextBytes("def")), ObjValue(1, 1001, 0, forge::Utf16Bytes("xy")),
           ObjValue(1, 1001, 0, forge::Utf16Bytes("xy"))}});
    EXPECT_EQ(Text("1000"), "abcdef");
    EXPECT_EQ(Text("1001"), "xyxy");  // UTF-16 fragments are always added
}

TEST_F(ModuleDefinitions, TheTableIsReadOnceAndLogged) {
    Load({{ObjValue(1, 1000, 0, forge::Utf16Bytes("x"))}});
    db.sink.logLines.clear();
    EXPECT_EQ(Text("1000"), "x");
    EXPECT_EQ(Text("1000"), "x");
    EXPECT_EQ(db.sink.logLines, (std::vector<std::string>{pw::kDefinitionReadStartLog, pw::kDefinitionReadDoneLog}));
    EXPECT_EQ(db.sink.rangeHigh, 1);
    EXPECT_EQ(db.sink.position, 1);
    EXPECT_TRUE(db.catalog->moduleTextsLoaded);
    EXPECT_EQ(db.catalog->moduleTexts.size(), 1u);
}

TEST_F(ModuleDefinitions, ATableWithoutPagesGivesNothingAndIsReadAgainNextTime) {
    Load({});
    db.sink.logLines.clear();
    EXPECT_EQ(Text("1000"), "");
    EXPECT_FALSE(db.catalog->moduleTextsLoaded);
    EXPECT_EQ(Text("1000"), "");
    EXPECT_EQ(db.sink.logLines.size(), 4u);
}

TEST_F(ModuleDefinitions, ComputedTextsAreTheReducedRows) {
    pw::CCatalog& catalog = Load({{ObjValue(2, 1000, 3, forge::Utf16Bytes("([a]+(1))")),
                                   ObjValue(1, 1001, 0, forge::Utf16Bytes("CREATE PROCEDURE p AS SELECT 1"))}});
    pw::RenderContext context{db.state, codePages};
    pw::DefinitionSource source{catalog, *db.files, context, db.sink};
    pw::LoadComputedTexts(source);
    ASSERT_EQ(catalog.computedTexts.size(), 2u);
    EXPECT_EQ(catalog.computedTexts[0].objectId, "1000");
    EXPECT_EQ(catalog.computedTexts[0].subId, "3");
    const std::optional<pw::HexValue> value = pw::DecodeHexValue(catalog.computedTexts[0].value);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(pw::HexValueText(*value, 1252), "([a]+(1))");
    EXPECT_EQ(catalog.ComputedTextsOf(1000, 3).size(), 1u);
    EXPECT_TRUE(catalog.descriptors.empty());
}

TEST(SysobjvaluesColumns, SixColumnsByTheKindRules) {
    const std::vector<pw::ColumnDescriptor> columns = pw::SysobjvaluesColumns();
    ASSERT_EQ(columns.size(), 6u);
    const int kinds[] = {14, 9, 9, 9, 20, 16};
    for (std::size_t i = 0; i < columns.size(); ++i) EXPECT_EQ(columns[i].valueKind, kinds[i]) << i;
    EXPECT_EQ(columns[5].typeText, "varbinary(-1)");
    EXPECT_EQ(columns[4].maxLength, 0);  // sql_variant does not read its length
    EXPECT_EQ(columns[5].isVariable, 1);
}

}  // namespace
