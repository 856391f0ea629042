// The object tree: skeleton, placement and order, bold tables, table node
// expansion, and the selection dispatch.

#include <gtest/gtest.h>

#include "CatalogTestSupport.h"
#include "catalog/ObjectSelection.h"
#include "catalog/ObjectTree.h"
#include "catalog/ObjectTreeBuilder.h"
#include "catalog/Scripts.h"
#include "catalog/SystemRowBuilders.h"

namespace {

using forge::ColParRecord;
using forge::SchObjRecord;

forge::CatalogFileBuilder ShopDatabase() {
    forge::CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs,
            {SchObjRecord(1000, "Orders", "U "), SchObjRecord(1001, "Audit", "U "), SchObjRecord(5, "sysrowsets", "S "),
             SchObjRecord(1002, "A", "V "), SchObjRecord(1003, "B", "V "), SchObjRecord(1004, "C", "V "),
             SchObjRecord(1005, "zeta", "P "), SchObjRecord(1006, "Alpha", "P "), SchObjRecord(1007, "beta", "P "),
             SchObjRecord(1008, "f1", "FN"), SchObjRecord(1009, "t1", "TF"), SchObjRecord(1010, "tr1", "TR", 1000),
             SchObjRecord(1011, "d1", "D "), SchObjRecord(1100, "PK_Orders", "PK", 1000, 0, 1),
             SchObjRecord(1101, "CK_Orders", "C ", 1000), SchObjRecord(1102, "FK_Orders", "F ", 1000),
             SchObjRecord(1103, "UQ_Orders", "UQ", 1000), SchObjRecord(1104, "DF_Orders", "D ", 1000)});
    b.Table(pw::kSysColPars, {ColParRecord(1000, 2, "note", 231, 231, 100), ColParRecord(1000, 1, "id"),
                              ColParRecord(1001, 1, "at", 61, 61, 8), ColParRecord(5, 1, "rowsetid", 127, 127, 8)});
    b.Table(pw::kSysScalarTypes, {forge::ScalarTypeRecord(56, 56, 4, "int"), forge::ScalarTypeRecord(61, 61, 8, "datetime"),
                                  forge::ScalarTypeRecord(127, 127, 8, "bigint"),
                                  forge::ScalarTypeRecord(231, 231, 8000, "nvarchar")});
    b.Table(pw::kSysRowsets, {forge::RowsetRecord(900, 1000, 1)});
    b.Table(pw::kSysAllocUnits, {forge::AllocUnitRecord(std::int64_t{5000} << 16, 1, 900)});
    b.Table(pw::kSysIdxStats, {forge::IdxStatRecord(1000, 1, 0x21, "PK_Orders")});
    b.Table(pw::kSysIsCols, {forge::IsColRecord(1000, 1, 1, 1, 1)});
    b.DataPages(5000, 2);
    return b;
}

struct TreeSetup {
    catalogtest::LoadedCatalog loaded;
    pw::InMemoryObjectTree tree;
    pw::ObjectTreeBuilder builder{tree, loaded.state, loaded.sink};

    explicit TreeSetup(forge::CatalogFileBuilder b) {
        builder.SetCatalog(&loaded.Load(b));
        builder.CreateFolders("C:\\Data\\db.mdf");
    }
    std::vector<std::string> Texts(pw::TreeItem parent) const {
        std::vector<std::string> texts;
        for (const pw::TreeItem c : tree.Children(parent)) texts.push_back(tree.ItemText(c));
        return texts;
    }
    using Texts_t = std::vector<std::string>;
};

TEST(ObjectTree, SkeletonPlacementOrderAndWeight) {
    TreeSetup s(ShopDatabase());
    ASSERT_TRUE(s.builder.CreateTree());
    const pw::TreeFolders& f = s.builder.Folders();
    using T = std::vector<std::string>;
    EXPECT_EQ(s.Texts(pw::kNoItem), T{"C:\\Data\\db.mdf"});
    EXPECT_EQ(s.Texts(f.root), (T{"Views", "Programmability", "Tables"}));
    EXPECT_EQ(s.Texts(f.programmability), (T{"Triggers", "Default", "Store Procedure", "Function"}));
    EXPECT_EQ(s.Texts(f.tables), (T{"System Tables", "User Tables"}));
    // Catalog order reversed, except the sorted procedures and functions.
    EXPECT_EQ(s.Texts(f.views), (T{"C", "B", "A"}));
    EXPECT_EQ(s.Texts(f.procedures), (T{"Alpha", "beta", "zeta"}));
    EXPECT_EQ(s.Texts(f.functions), (T{"f1", "t1"}));
    EXPECT_EQ(s.Texts(f.triggers), T{"tr1"});
    // Both defaults are "D " objects: the bound default and the column default.
    EXPECT_EQ(s.Texts(f.defaults), (T{"DF_Orders", "d1"}));
    EXPECT_EQ(s.Texts(f.userTables), (T{"Audit", "Orders"}));  // sorted by the scan, not here
    EXPECT_EQ(s.Texts(f.systemTables), T{"sysrowsets"});
    // Keys and constraints get no item of their own.
    for (const pw::TreeItem table : s.tree.Children(f.userTables)) {
        EXPECT_EQ(s.Texts(table), T{"Columns"});
        EXPECT_EQ(s.tree.ItemData(table), 1);
    }
    const pw::TreeItem orders = s.tree.FindChild(f.userTables, "Orders");
    EXPECT_TRUE(s.tree.IsBold(orders));
    EXPECT_FALSE(s.tree.IsBold(s.tree.FindChild(f.userTables, "Audit")));
    EXPECT_EQ(s.tree.ItemData(f.views), 0);
    EXPECT_EQ(s.loaded.sink.logLines, (T{"Creating Tree.........", "Process done........."}));
    EXPECT_EQ(s.loaded.sink.position, static_cast<std::int64_t>(s.loaded.catalog->objects.size()));
}

TEST(ObjectTree, NoNamedObjectMeansNoTree) {
    TreeSetup s(ShopDatabase());
    pw::CCatalog& catalog = *s.loaded.catalog;
    // Only empty names: passed over without any item.
    for (pw::ObjectRow& row : catalog.objects) row.name.clear();
    const std::size_t skeleton = s.tree.ItemCount();
    EXPECT_FALSE(s.builder.CreateTree());
    EXPECT_EQ(s.tree.ItemCount(), skeleton);
    catalog.objects.clear();
    EXPECT_FALSE(s.builder.CreateTree());
}

TEST(ObjectTree, TableNodeExpandsOnceWithKeyFoldersAndColumnLabels) {
    TreeSetup s(ShopDatabase());
    ASSERT_TRUE(s.builder.CreateTree());
    const pw::TreeFolders& f = s.builder.Folders();
    const pw::TreeItem orders = s.tree.FindChild(f.userTables, "Orders");
    ASSERT_TRUE(s.builder.ExpandTableNode(orders));
    using T = std::vector<std::string>;
    EXPECT_EQ(s.Texts(orders), (T{"ForeignKey", "Unique", "Constraint", "PrimaryKey", "Columns"}));
    const pw::TreeItem columns = s.tree.FindChild(orders, "Columns");
    EXPECT_EQ(s.Texts(columns), (T{"id  int(4)[Primary Key]", "note  nvarchar(100)"}));
    const pw::TreeItem constraint = s.tree.FindChild(orders, "Constraint");
    EXPECT_EQ(s.Texts(constraint), (T{"DF_Orders", "CK_Orders"}));
    for (const pw::TreeItem c : s.tree.Children(constraint)) EXPECT_EQ(s.tree.ItemData(c), 1);
    EXPECT_EQ(s.Texts(s.tree.FindChild(orders, "PrimaryKey")), T{"PK_Orders"});
    EXPECT_EQ(s.tree.ItemData(s.tree.FirstChild(s.tree.FindChild(orders, "PrimaryKey"))), 0);
    EXPECT_EQ(s.Texts(s.tree.FindChild(orders, "ForeignKey")), T{"FK_Orders"});
    EXPECT_EQ(s.Texts(s.tree.FindChild(orders, "Unique")), T{"UQ_Orders"});
    const std::size_t items = s.tree.ItemCount();
    // Expanded already, and items outside the table folders: nothing to do.
    EXPECT_FALSE(s.builder.ExpandTableNode(orders));
    EXPECT_FALSE(s.builder.ExpandTableNode(s.tree.FindChild(f.views, "A")));
    EXPECT_EQ(s.tree.ItemCount(), items);
}

TEST(ObjectSelection, DispatchOnTheItemAndItsParent) {
    TreeSetup s(ShopDatabase());
    ASSERT_TRUE(s.builder.CreateTree());
    const pw::TreeFolders& f = s.builder.Folders();
    pw::CCatalog& catalog = *s.loaded.catalog;
    std::vector<std::string> keys;
    const pw::ModuleTextFn moduleText = [&keys](const std::string& key) {
        keys.push_back(key);
        return "(definition of " + key + ")";
    };
    const auto select = [&](pw::TreeItem item) {
        return pw::SelectObject(s.tree, s.builder, &catalog, s.loaded.state, item, moduleText);
    };
    using K = pw::Selection::Kind;

    EXPECT_EQ(pw::SelectObject(s.tree, s.builder, nullptr, s.loaded.state, f.root, moduleText).kind, K::kNoCatalog);
    EXPECT_EQ(select(f.root).kind, K::kRoot);
    EXPECT_EQ(select(f.tables).kind, K::kNothing);

    const pw::Selection view = select(s.tree.FindChild(f.views, "B"));
    EXPECT_EQ(view.kind, K::kText);
    EXPECT_EQ(view.text, "(definition of 1003)");

    const pw::TreeItem orders = s.tree.FindChild(f.userTables, "Orders");
    const pw::Selection table = select(orders);
    EXPECT_EQ(table.kind, K::kTable);
    EXPECT_EQ(table.itemText, "Orders");
    EXPECT_TRUE(catalog.isTableOpen);
    EXPECT_EQ(catalog.descriptors.size(), 2u);
    // A second selection opens the table again without expanding it.
    const std::size_t items = s.tree.ItemCount();
    EXPECT_EQ(select(orders).kind, K::kTable);
    EXPECT_EQ(s.tree.ItemCount(), items);

    const pw::Selection check = select(s.tree.FindChild(s.tree.FindChild(orders, "Constraint"), "CK_Orders"));
    EXPECT_EQ(check.kind, K::kText);
    EXPECT_EQ(check.text, pw::CheckScript("Orders", "CK_Orders", "(definition of 1101)"));

    const pw::TreeItem pk = s.tree.FindChild(s.tree.FindChild(orders, "PrimaryKey"), "PK_Orders");
    const pw::Selection key = select(pk);
    EXPECT_EQ(key.kind, K::kText);
    EXPECT_EQ(key.text, pw::PrimaryKeyScript(catalog, 0, "PK_Orders"));
    EXPECT_NE(key.text.find("id"), std::string::npos);

    // A column label names no object.
    const pw::Selection column = select(s.tree.FirstChild(s.tree.FindChild(orders, "Columns")));
    EXPECT_EQ(column.kind, K::kNothing);
    EXPECT_TRUE(catalog.descriptors.empty());
    EXPECT_EQ(keys, (std::vector<std::string>{"1003", "1101"}));
}

TEST(ObjectTree, InMemoryTreeSortAndOutline) {
    pw::InMemoryObjectTree tree;
    const pw::TreeItem root = tree.InsertItem("root", pw::kNoItem, false);
    for (const char* text : {"b", "C", "a", "B"}) tree.InsertItem(text, root, true);
    tree.SortChildren(root);
    EXPECT_EQ(pw::TreeOutline(tree), "root\n  a\n  B\n  b\n  C\n");
    EXPECT_EQ(tree.Parent(tree.FirstChild(root)), root);
    EXPECT_EQ(tree.Parent(root), pw::kNoItem);
    EXPECT_EQ(tree.ItemText(12345), "");
    tree.DeleteAll();
    EXPECT_EQ(tree.ItemCount(), 0u);
    EXPECT_EQ(tree.FirstChild(pw::kNoItem), pw::kNoItem);
}

}  // namespace
