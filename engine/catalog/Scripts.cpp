#include "catalog/Scripts.h"

#include "catalog/Catalog.h"
#include "catalog/Keys.h"

namespace pw {

namespace {

// Fills the %s of `format` with `args` in order.
std::string Format(const char* format, std::initializer_list<const std::string*> args) {
    std::string out;
    auto next = args.begin();
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (next != args.end()) out += **next++;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

struct KeyTarget {
    std::string table;
    std::vector<std::string> columns;
    bool found = false;
};

// SQL Server 2000: the table list entry of the item's table id.
KeyTarget Target2000(const CCatalog& catalog, std::int64_t itemData, bool unique) {
    KeyTarget target;
    for (const Table2000& table : catalog.tables2000) {
        if (table.id != itemData) continue;
        target.found = true;
        target.table = table.name;
        for (const Table2000Column& column : table.columns)
            if ((column.keyFlag & 1) != 0 || (unique && column.keyFlag == 0)) target.columns.push_back(column.name);
    }
    return target;
}

// Later layouts: the key object named `itemText` of type `typeCode`, looked
// for first among the keys of the object opened last, then in the whole catalog.
KeyTarget Target2005(const CCatalog& catalog, const std::string& itemText, const char* typeCode) {
    KeyTarget target;
    const ObjectRow* constraint = nullptr;
    for (const KeyEntry& key : catalog.keyEntries) {
        if (key.name != itemText || key.typeCode != typeCode) continue;
        const ObjectRow* row = catalog.LastObjectWithId(key.id);
        if (row && row->typeCode == typeCode) {
            constraint = row;
            break;
        }
    }
    if (!constraint) {
        for (const ObjectRow& row : catalog.objects)
            if (row.name == itemText && row.typeCode == typeCode) {
                constraint = &row;
                break;
            }
    }
    if (!constraint) return target;
    target.found = true;
    if (const ObjectRow* table = catalog.FirstObjectWithId(constraint->parentId)) target.table = table->name;
    target.columns = KeyColumnNames(catalog, *constraint);
    return target;
}

KeyTarget FindTarget(const CCatalog& catalog, std::int64_t itemData, const std::string& itemText, bool unique) {
    if (catalog.IsSql2000()) return Target2000(catalog, itemData, unique);
    return Target2005(catalog, itemText, unique ? "UQ" : "PK");
}

}  // namespace

std::string ScriptColumnList(const std::vector<std::string>& names) {
    std::string list = " ";
    for (const std::string& name : names) list += name + " , ";
    while (!list.empty() && IsBlank(list.back())) list.pop_back();
    if (!list.empty()) list.pop_back();
    return list;
}

std::string PrimaryKeyScript(const CCatalog& catalog, std::int64_t itemData, const std::string& itemText) {
    const KeyTarget target = FindTarget(catalog, itemData, itemText, /*unique=*/false);
    const std::string columns = target.found ? ScriptColumnList(target.columns) : std::string(" ");
    return Format(kPrimaryKeyScriptFormat, {&target.table, &columns});
}

std::string UniqueScript(const CCatalog& catalog, std::int64_t itemData, const std::string& itemText) {
    const KeyTarget target = FindTarget(catalog, itemData, itemText, /*unique=*/true);
    const std::string columns = target.found ? ScriptColumnList(target.columns) : std::string(" ");
    return Format(kUniqueScriptFormat, {&target.table, &itemText, &columns});
}

std::string CheckScript(const std::string& tableText, const std::string& itemText, const std::string& definition) {
    return Format(kCheckScriptFormat, {&tableText, &itemText, &definition});
}

}  // namespace pw
