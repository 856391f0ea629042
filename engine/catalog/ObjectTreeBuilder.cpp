#include "catalog/ObjectTreeBuilder.h"

#include "catalog/Catalog.h"
#include "catalog/ColumnLabel.h"
#include "support/AppState.h"
#include "support/EventSink.h"

namespace pw {

TreeItem ObjectTreeBuilder::Folder(const std::string& text, TreeItem parent) {
    const TreeItem item = tree_.InsertItem(text, parent, /*asFirst=*/true);
    tree_.SetItemData(item, 0);
    return item;
}

void ObjectTreeBuilder::Reset() {
    folders_ = TreeFolders{};
    objectItems_.clear();
}

void ObjectTreeBuilder::CreateFolders(const std::string& rootLabel) {
    Reset();
    // The root goes last among the top-level items; its data is not used.
    folders_.root = tree_.InsertItem(rootLabel, kNoItem, /*asFirst=*/false);
    tree_.SetItemData(folders_.root, 0);
    folders_.tables = Folder(kTablesFolder, folders_.root);
    folders_.userTables = Folder(kUserTablesFolder, folders_.tables);
    folders_.systemTables = Folder(kSystemTablesFolder, folders_.tables);
    folders_.programmability = Folder(kProgrammabilityFolder, folders_.root);
    folders_.functions = Folder(kFunctionFolder, folders_.programmability);
    folders_.procedures = Folder(kProcedureFolder, folders_.programmability);
    folders_.views = Folder(kViewsFolder, folders_.root);
    folders_.defaults = Folder(kDefaultFolder, folders_.programmability);
    folders_.triggers = Folder(kTriggersFolder, folders_.programmability);
}

bool ObjectTreeBuilder::CreateTree() {
    if (catalog_ == nullptr) return false;
    const std::size_t n = catalog_->objects.size();
    if (n == 0) return false;
    sink_.ProgressRange(0, static_cast<std::int64_t>(n));
    sink_.LogLine("Creating Tree.........");
    sink_.ProgressPosition(0);
    std::size_t placed = 0;
    for (std::size_t i = 0; i < n && i < catalog_->objects.size(); ++i) {
        if (state_.StopRequested()) break;
        // OpenObject below replaces the per-object state; the row is copied first.
        const std::string name = catalog_->objects[i].name;
        const std::string type = catalog_->objects[i].typeCode;
        if (name.empty()) continue;
        TreeItem folder = kNoItem;
        const bool isTable = type == "U " || type == "S ";
        if (type == "V ")
            folder = folders_.views;
        else if (type == "FN" || type == "IF" || type == "TF")
            folder = folders_.functions;
        else if (type == "P ")
            folder = folders_.procedures;
        else if (type == "TR")
            folder = folders_.triggers;
        else if (type == "D ")
            folder = folders_.defaults;
        else if (type == "U ")
            folder = folders_.userTables;
        else if (type == "S ")
            folder = folders_.systemTables;
        if (folder != kNoItem) {
            const TreeItem item = tree_.InsertItem(name, folder, /*asFirst=*/true);
            tree_.SetItemData(item, 1);
            objectItems_.push_back(item);
            if (isTable) {
                const TreeItem columns = tree_.InsertItem(kColumnsItem, item, /*asFirst=*/true);
                tree_.SetItemData(columns, 0);
                const std::vector<ColumnDescriptor> descriptors = catalog_->OpenObject(name, type);
                if (!descriptors.empty() && !catalog_->dataPages.empty()) tree_.SetBold(item, true);
            }
        }
        // Every named row counts, placed or not: only an object list without
        // names is no catalog.
        ++placed;
        sink_.ProgressPosition(static_cast<std::int64_t>(i));
    }
    tree_.SortChildren(folders_.procedures);
    tree_.SortChildren(folders_.functions);
    sink_.LogLine("Process done.........");
    sink_.ProgressPosition(static_cast<std::int64_t>(n));
    return placed > 0;
}

bool ObjectTreeBuilder::ExpandTableNode(TreeItem tableItem) {
    if (catalog_ == nullptr) return false;
    const TreeItem parent = tree_.Parent(tableItem);
    std::string type;
    if (parent != kNoItem && parent == folders_.userTables)
        type = "U ";
    else if (parent != kNoItem && parent == folders_.systemTables)
        type = "S ";
    else
        return false;
    const TreeItem columns = tree_.FirstChild(tableItem);
    if (columns == kNoItem || tree_.ItemText(columns) != kColumnsItem) return false;

    const std::vector<ColumnDescriptor> descriptors = catalog_->OpenObject(tree_.ItemText(tableItem), type);
    if (!catalog_->isTableOpen) return true;

    TreeItem primaryKey = kNoItem, constraint = kNoItem, unique = kNoItem, foreignKey = kNoItem;
    for (const auto& [text, handle] : {std::pair<const char*, TreeItem*>{kPrimaryKeyItem, &primaryKey},
                                       {kConstraintItem, &constraint},
                                       {kUniqueItem, &unique},
                                       {kForeignKeyItem, &foreignKey}}) {
        *handle = tree_.InsertItem(text, tableItem, /*asFirst=*/true);
        tree_.SetItemData(*handle, 0);
    }
    tree_.SetItemData(columns, 0);
    for (auto d = descriptors.rbegin(); d != descriptors.rend(); ++d) {
        if (d->name.empty()) continue;
        tree_.SetItemData(tree_.InsertItem(ColumnLabel(*d), columns, /*asFirst=*/true), 0);
    }

    const bool sql2000 = state_.m_bIsSql2000;
    for (const KeyEntry& key : catalog_->keyEntries) {
        TreeItem folder = kNoItem;
        std::int64_t data = 0;
        if (key.typeCode == "PK") {
            folder = primaryKey;
            if (sql2000) data = key.id;
        } else if (key.typeCode == "UQ") {
            folder = unique;
            if (sql2000) data = key.id;
        } else if (key.typeCode == "F ") {
            folder = foreignKey;
        } else if (key.typeCode == "C " || key.typeCode == "D ") {
            folder = constraint;
            data = 1;
        }
        if (folder == kNoItem) continue;
        tree_.SetItemData(tree_.InsertItem(key.name, folder, /*asFirst=*/true), data);
    }
    return true;
}

}  // namespace pw
