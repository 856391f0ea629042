#pragma once
// Builds the object tree of a scan: the folder skeleton, one item per listed
// object, and, the first time a table is selected, its key folders and
// column labels.
//
// Skeleton (every folder inserted as the first child of its parent, so the
// visible order is the reverse of the creation order):
//   <primary file path>
//     Views
//     Programmability
//       Triggers, Default, Store Procedure, Function
//     Tables
//       System Tables, User Tables
// Objects go into their folder by type code, each as the first child (so a
// folder shows the catalog order reversed until it is sorted): "V " views,
// "FN"/"IF"/"TF" functions, "P " procedures, "TR" triggers, "D " defaults,
// "U " user tables and "S " system tables (each with a "Columns" child, in
// bold when the table has data pages). Other types get no item: keys and
// constraints appear only under an expanded table. Objects carry item data
// 1, folders 0.

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/ObjectTree.h"

namespace pw {

struct AppState;
class CCatalog;
class EventSink;

inline constexpr char kTablesFolder[] = "Tables";
inline constexpr char kUserTablesFolder[] = "User Tables";
inline constexpr char kSystemTablesFolder[] = "System Tables";
inline constexpr char kProgrammabilityFolder[] = "Programmability";
inline constexpr char kFunctionFolder[] = "Function";
inline constexpr char kProcedureFolder[] = "Store Procedure";
inline constexpr char kViewsFolder[] = "Views";
inline constexpr char kDefaultFolder[] = "Default";
inline constexpr char kTriggersFolder[] = "Triggers";
inline constexpr char kColumnsItem[] = "Columns";
inline constexpr char kPrimaryKeyItem[] = "PrimaryKey";
inline constexpr char kConstraintItem[] = "Constraint";
inline constexpr char kUniqueItem[] = "Unique";
inline constexpr char kForeignKeyItem[] = "ForeignKey";

// The handles of the root and of every folder, kept for the selection dispatch.
struct TreeFolders {
    TreeItem root = kNoItem;
    TreeItem tables = kNoItem;
    TreeItem userTables = kNoItem;
    TreeItem systemTables = kNoItem;
    TreeItem programmability = kNoItem;
    TreeItem functions = kNoItem;
    TreeItem procedures = kNoItem;
    TreeItem views = kNoItem;
    TreeItem defaults = kNoItem;
    TreeItem triggers = kNoItem;
};

class ObjectTreeBuilder {
public:
    ObjectTreeBuilder(ObjectTree& tree, AppState& state, EventSink& sink) : tree_(tree), state_(state), sink_(sink) {}

    // The catalog of the scan the tree shows (null: none; nothing is placed or expanded).
    void SetCatalog(CCatalog* catalog) { catalog_ = catalog; }
    CCatalog* Catalog() const { return catalog_; }
    ObjectTree& Tree() const { return tree_; }

    // Builds the skeleton under a new top-level root labelled `rootLabel`.
    void CreateFolders(const std::string& rootLabel);
    // Places every object with a non-empty name; true when at least one was
    // placed. Sorts the procedures and functions. Logs "Creating Tree........."
    // and "Process done.........", with progress over the object rows. A stop
    // request ends the placement; the items placed so far stay.
    bool CreateTree();
    // The first selection of a table item (under "User Tables" or "System
    // Tables" and still with "Columns" as its first child): opens the table,
    // adds "PrimaryKey", "Constraint", "Unique", "ForeignKey" above "Columns",
    // the column labels under "Columns" and each key entry under its folder.
    // True when the node was expanded now.
    bool ExpandTableNode(TreeItem tableItem);

    const TreeFolders& Folders() const { return folders_; }
    // The object items placed by CreateTree, in placement order.
    const std::vector<TreeItem>& ObjectItems() const { return objectItems_; }
    // Forgets the folders and items (the tree was cleared).
    void Reset();

private:
    TreeItem Folder(const std::string& text, TreeItem parent);

    ObjectTree& tree_;
    CCatalog* catalog_ = nullptr;
    AppState& state_;
    EventSink& sink_;
    TreeFolders folders_;
    std::vector<TreeItem> objectItems_;
};

}  // namespace pw
