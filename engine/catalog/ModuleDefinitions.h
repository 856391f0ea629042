#pragma once
// Definition texts of views, procedures, functions, triggers, defaults,
// check constraints and computed columns.
//
// They are rows of a definition table, decoded with the general row decoder:
//   sysobjvalues (object 60), later layouts: valclass tinyint, objid int,
//       subobjid int, valnum int, value sql_variant, imageval varbinary(max);
//       the text is imageval (UTF-16 for modules);
//   syscomments (object 6), SQL Server 2000 layout: id int, number smallint,
//       colid smallint, status smallint, ctext varbinary(8000), ...
// Each decoded row is reduced to (object id text, sub-id text, value text),
// the value being the cell as the decoder renders it ("0x" and hex digits).
// A long definition is split over several rows, joined in page and slot order.

#include <string>
#include <vector>

#include "catalog/CatalogRows.h"
#include "catalog/ColumnDescriptor.h"

namespace pw {

class CCatalog;
class CDatabaseFileSet;
class EventSink;
struct RenderContext;

inline constexpr char kDefinitionReadStartLog[] = "Retrieving Objects of Sysobjvalues System Tables...........";
inline constexpr char kDefinitionReadDoneLog[] =
    "Retrieving  Objects of Sysobjvalues System Tables has been done...........";

// What the definition reader works with; the caller owns all of it.
struct DefinitionSource {
    CCatalog& catalog;
    CDatabaseFileSet& files;
    RenderContext& render;
    EventSink& sink;
};

// The six columns sysobjvalues is decoded with.
std::vector<ColumnDescriptor> SysobjvaluesColumns();

// True when the catalog holds rowset column rows for a rowset of `objectId`
// (the row decoder's rowset members then apply).
bool RowsetColumnsKnown(const CCatalog& catalog, std::int32_t objectId);

// Reads every page of the definition table into `list` (appending).
void ReadDefinitionTable(DefinitionSource& source, const std::vector<ColumnDescriptor>& columns,
                         std::vector<ModuleValue>& list);

// Fills the catalog's computedTexts (run after each scan).
void LoadComputedTexts(DefinitionSource& source);

// The definition text of the object whose id, in decimal, is `key`. The
// definition table is read on the first call (the catalog's moduleTexts).
std::string ModuleText(DefinitionSource& source, const std::string& key);

}  // namespace pw
