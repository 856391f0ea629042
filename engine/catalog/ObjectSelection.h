#pragma once
// SelectObject: what a selected tree item stands for, decided from the item
// and its parent.
//
//   parent "System Tables" / "User Tables"  a table: its node is expanded the
//                                           first time, else it is opened
//   parent text "PrimaryKey" / "Unique"     the key's ALTER TABLE script
//   any other parent                        opened as a module ("P "): a
//                                           definition-bearing object shows its
//                                           definition text; under "Constraint"
//                                           the CHECK script built from it
//
// Folders, column labels and key folders open as modules too; no object of
// that name exists, so they show nothing. The dispatch only decides: listing
// a table's rows and showing a text is the caller's.

#include <cstdint>
#include <functional>
#include <string>

#include "catalog/ObjectTree.h"
#include "catalog/ObjectTreeBuilder.h"

namespace pw {

// The definition text of the object whose id is given as decimal text; the
// module definitions reader supplies it.
using ModuleTextFn = std::function<std::string(const std::string& objectIdText)>;

struct Selection {
    enum class Kind {
        kNoCatalog,  // nothing was done
        kRoot,       // the root item: nothing to show, no finishing steps
        kNothing,    // nothing to list or show (the finishing steps still run)
        kTable,      // the catalog holds the opened table: list its rows
        kText,       // show `text`
    };
    Kind kind = Kind::kNoCatalog;
    std::string itemText;
    std::string text;
};

// True for the type codes of objects that carry a definition or a script.
bool IsDefinitionType(const std::string& typeCode);

// `catalog` may be null (no scan). Clears the catalog's per-object column
// and descriptor lists, then dispatches as above.
Selection SelectObject(ObjectTree& tree, ObjectTreeBuilder& builder, CCatalog* catalog, AppState& state,
                       TreeItem item, const ModuleTextFn& moduleText);

}  // namespace pw
