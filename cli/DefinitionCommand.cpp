// pagewright-cli definition FILE NAME: the definition text of a module, or
// the script of a key or constraint.

#include <cstdio>
#include <string>

#include "Commands.h"
#include "OpenDatabase.h"
#include "catalog/Catalog.h"
#include "catalog/ModuleDefinitions.h"
#include "catalog/Scripts.h"
#include "rows/RenderContext.h"
#include "support/CodePage.h"

namespace cli {

int Definition(const Options& options) {
    const std::string& path = options.positional.at(0);
    const std::string& name = options.positional.at(1);
    OpenDatabase db;
    if (const int code = db.Open(path, options)) return code;
    pw::CCatalog& catalog = *db.catalog;
    // Any object of that name that is not a table.
    const pw::ObjectRow* found = catalog.FindObject(name, "P ");
    if (!found || found->typeCode == "U " || found->typeCode == "S ") {
        std::fprintf(stderr, "No object named %s with a definition.\n", name.c_str());
        return kExitNoSuchObject;
    }
    const pw::ObjectRow object = *found;

    pw::CodePageConverter codePages;
    pw::RenderContext context{db.state, codePages};
    pw::DefinitionSource source{catalog, *db.files, context, db.sink};
    const auto definition = [&] { return pw::ModuleText(source, std::to_string(object.id)); };
    // The table a key or constraint belongs to.
    const pw::ObjectRow* parent = object.parentId > 0 ? catalog.FirstObjectWithId(object.parentId) : nullptr;
    const std::string tableName = parent ? parent->name : std::string();
    // Keys are found through the table in the SQL Server 2000 layout.
    const std::int64_t itemData = catalog.IsSql2000() ? object.parentId : 0;

    std::string text;
    if (object.typeCode == "PK") {
        text = pw::PrimaryKeyScript(catalog, itemData, object.name);
    } else if (object.typeCode == "UQ") {
        text = pw::UniqueScript(catalog, itemData, object.name);
    } else if ((object.typeCode == "C " || object.typeCode == "D ") && parent) {
        text = pw::CheckScript(tableName, object.name, definition());
    } else {
        text = definition();
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (text.empty() || text.back() != '\n') std::fputc('\n', stdout);
    return kExitDone;
}

}  // namespace cli
