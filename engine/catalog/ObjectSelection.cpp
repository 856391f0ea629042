#include "catalog/ObjectSelection.h"

#include <array>

#include "catalog/Catalog.h"
#include "catalog/Scripts.h"
#include "support/AppState.h"

namespace pw {

bool IsDefinitionType(const std::string& typeCode) {
    static constexpr std::array<const char*, 12> kTypes = {"F ", "P ", "D ", "C ", "PK", "FN",
                                                          "TR", "IF", "V ", "UQ", "TT", "TF"};
    for (const char* t : kTypes)
        if (typeCode == t) return true;
    return false;
}

Selection SelectObject(ObjectTree& tree, ObjectTreeBuilder& builder, CCatalog* catalog, AppState& state,
                       TreeItem item, const ModuleTextFn& moduleText) {
    Selection result;
    if (catalog == nullptr) return result;
    catalog->descriptors.clear();
    catalog->tableColumns.clear();
    catalog->tableColumns2000.clear();
    catalog->isTableOpen = false;

    const TreeFolders& folders = builder.Folders();
    if (item == kNoItem || item == folders.root) {
        result.kind = Selection::Kind::kRoot;
        return result;
    }
    result.kind = Selection::Kind::kNothing;
    result.itemText = tree.ItemText(item);
    const TreeItem parent = tree.Parent(item);
    const std::string parentText = tree.ItemText(parent);
    if (result.itemText.empty()) return result;

    if (parent != kNoItem && (parent == folders.systemTables || parent == folders.userTables)) {
        const char* type = parent == folders.systemTables ? "S " : "U ";
        if (!builder.ExpandTableNode(item)) catalog->descriptors = catalog->OpenObject(result.itemText, type);
    } else if (parentText == kPrimaryKeyItem) {
        result.kind = Selection::Kind::kText;
        result.text = PrimaryKeyScript(*catalog, tree.ItemData(item), result.itemText);
    } else if (parentText == kUniqueItem) {
        result.kind = Selection::Kind::kText;
        result.text = UniqueScript(*catalog, tree.ItemData(item), result.itemText);
    } else {
        catalog->descriptors = catalog->OpenObject(result.itemText, "P ");
    }

    const std::vector<ColumnDescriptor>& descriptors = catalog->descriptors;
    if (catalog->isTableOpen && !descriptors.empty()) {
        result.kind = Selection::Kind::kTable;
        return result;
    }
    if (descriptors.size() < 2 || !IsDefinitionType(descriptors[1].value)) return result;

    if (state.m_bIsSql2000) {
        // The definitions are read from syscomments, keyed by the object's id.
        catalog->descriptors = catalog->OpenObject("syscomments", "S ");
        std::string idText;
        for (const ObjectRow& row : catalog->objects) {
            if (row.name == result.itemText) {
                idText = std::to_string(row.id);
                break;
            }
        }
        if (!catalog->descriptors.empty()) catalog->descriptors[0].value = idText;
    }
    const std::string key = catalog->descriptors.empty() ? std::string() : catalog->descriptors[0].value;
    const std::string definition = moduleText ? moduleText(key) : std::string();
    result.kind = Selection::Kind::kText;
    result.text = definition;
    if (parentText == kConstraintItem)
        result.text = CheckScript(tree.ItemText(tree.Parent(parent)), result.itemText, definition);
    return result;
}

}  // namespace pw
