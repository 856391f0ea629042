// The catalog over the real data files beside the checkout, and the creating
// scripts in truth/ where they exist.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "catalog/Catalog.h"
#include "forge/RecordingEventSink.h"
#include "pages/DatabaseFileSet.h"
#include "support/AppState.h"
#include "support/Utf.h"

namespace {

bool FolderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t')) fields.push_back(field);
    return fields;
}

struct CorpusFile {
    std::string file;
    std::vector<std::string> truth;  // truth/ script names mentioned in the manifest
};

std::vector<CorpusFile> PrimaryFiles(const std::string& folder) {
    std::ifstream in(folder + "MANIFEST.tsv");
    std::string line;
    std::vector<CorpusFile> files;
    if (!std::getline(in, line)) return files;
    const std::vector<std::string> header = SplitTabs(line);
    const auto column = [&](const char* name) {
        return static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
    };
    const std::size_t file = column("file"), fileId = column("file_id"), truth = column("truth_sql");
    const std::regex script(R"(truth/([A-Za-z0-9_.\-]+\.sql))");
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> f = SplitTabs(line);
        const auto at = [&](std::size_t i) { return i < f.size() ? f[i] : std::string(); };
        if (at(file).empty() || at(fileId) != "1") continue;
        CorpusFile entry{at(file), {}};
        const std::string mention = at(truth);
        for (auto it = std::sregex_iterator(mention.begin(), mention.end(), script); it != std::sregex_iterator(); ++it)
            entry.truth.push_back((*it)[1].str());
        files.push_back(entry);
    }
    return files;
}

// ---- the creating scripts -------------------------------------------------------

// Script text as UTF-8: UTF-16LE and UTF-8 by their byte-order marks, other
// bytes kept as they are (names in these scripts are ASCII).
std::string ScriptText(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return pw::Utf16LeToUtf8(pw::ByteView(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2, bytes.size() - 2));
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return bytes.substr(3);
    return bytes;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct ScriptColumn {
    std::string name;
    std::string type;  // lower case, without length
};
struct ScriptTable {
    std::string name;
    std::vector<ScriptColumn> columns;
};

class Tokens {
public:
    explicit Tokens(const std::string& text) : t_(text) {}
    void SkipBlanks() {
        for (;;) {
            while (i_ < t_.size() && std::isspace(static_cast<unsigned char>(t_[i_]))) ++i_;
            if (t_.compare(i_, 2, "--") == 0) {
                while (i_ < t_.size() && t_[i_] != '\n') ++i_;
            } else if (t_.compare(i_, 2, "/*") == 0) {
                const std::size_t end = t_.find("*/", i_ + 2);
                i_ = end == std::string::npos ? t_.size() : end + 2;
            } else {
                return;
            }
        }
    }
    // One identifier ([x], "x", or a word) or one punctuation character.
    std::string Next() {
        SkipBlanks();
        if (i_ >= t_.size()) return {};
        const char c = t_[i_];
        if (c == '[' || c == '"') {
            const char close = c == '[' ? ']' : '"';
            const std::size_t end = t_.find(close, i_ + 1);
            std::string word = t_.substr(i_ + 1, end == std::string::npos ? std::string::npos : end - i_ - 1);
            i_ = end == std::string::npos ? t_.size() : end + 1;
            return word;
        }
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '#' ||
            static_cast<unsigned char>(c) >= 0x80) {
            const std::size_t start = i_;
            while (i_ < t_.size() && (std::isalnum(static_cast<unsigned char>(t_[i_])) || t_[i_] == '_' ||
                                      t_[i_] == '@' || t_[i_] == '#' || t_[i_] == '$' ||
                                      static_cast<unsigned char>(t_[i_]) >= 0x80))
                ++i_;
            return t_.substr(start, i_ - start);
        }
        ++i_;
        return std::string(1, c);
    }
    std::string Peek() {
        const std::size_t at = i_;
        std::string word = Next();
        i_ = at;
        return word;
    }
    bool AtEnd() {
        SkipBlanks();
        return i_ >= t_.size();
    }
    // Skips to the end of the current parenthesised item (a top-level comma or the closing parenthesis).
    void SkipItem(int& depth) {
        while (!AtEnd()) {
            const std::string w = Peek();
            if (depth == 0 && (w == "," || w == ")")) return;
            Next();
            if (w == "(") ++depth;
            if (w == ")") --depth;
            if (w == "'") SkipString();
        }
    }
    void SkipString() {
        while (i_ < t_.size()) {
            if (t_[i_] == '\'') {
                if (i_ + 1 < t_.size() && t_[i_ + 1] == '\'') {
                    i_ += 2;
                    continue;
                }
                ++i_;
                return;
            }
            ++i_;
        }
    }

private:
    const std::string& t_;
    std::size_t i_ = 0;
};

// Every CREATE TABLE of a script with its columns (constraints and computed columns left out).
std::vector<ScriptTable> ParseCreateTables(const std::string& text) {
    std::vector<ScriptTable> tables;
    Tokens tokens(text);
    std::string previous;
    while (!tokens.AtEnd()) {
        std::string word = tokens.Next();
        if (word == "'") {
            tokens.SkipString();
            continue;
        }
        if (!(Lower(previous) == "create" && Lower(word) == "table")) {
            previous = word;
            continue;
        }
        previous.clear();
        // The name: the last part of a dotted name.
        ScriptTable table;
        std::string part = tokens.Next();
        while (tokens.Peek() == ".") {
            tokens.Next();
            part = tokens.Next();
        }
        table.name = part;
        if (tokens.Next() != "(") continue;
        for (;;) {
            const std::string first = tokens.Next();
            if (first.empty() || first == ")") break;
            if (first == ",") continue;
            const std::string key = Lower(first);
            int depth = 0;
            if (key == "constraint" || key == "primary" || key == "foreign" || key == "unique" || key == "check" ||
                key == "index") {
                tokens.SkipItem(depth);
                continue;
            }
            ScriptColumn column{first, Lower(tokens.Next())};
            if (column.type == "as") column.type.clear();  // computed column
            while (tokens.Peek() == ".") {  // a schema-qualified type
                tokens.Next();
                column.type = Lower(tokens.Next());
            }
            tokens.SkipItem(depth);
            table.columns.push_back(column);
        }
        tables.push_back(table);
    }
    return tables;
}

// The type name the catalog shows for a type written in a script; empty when
// the script names a type the comparison cannot judge (alias types).
std::string CatalogTypeName(const std::string& scriptType) {
    static const std::map<std::string, std::string> synonyms = {
        {"integer", "int"}, {"dec", "decimal"}, {"character", "char"}, {"rowversion", "timestamp"},
        {"double", "float"}};
    static const std::set<std::string> system = {
        "bigint", "binary", "bit", "char", "date", "datetime", "datetime2", "datetimeoffset", "decimal", "float",
        "image", "int", "money", "nchar", "ntext", "numeric", "nvarchar", "real", "smalldatetime", "smallint",
        "smallmoney", "sql_variant", "text", "time", "timestamp", "tinyint", "uniqueidentifier", "varbinary",
        "varchar", "xml"};
    const auto synonym = synonyms.find(scriptType);
    const std::string name = synonym != synonyms.end() ? synonym->second : scriptType;
    return system.count(name) ? name : std::string();
}

std::string TypeName(const std::string& typeText) { return typeText.substr(0, typeText.find('(')); }

// ---- the tests ---------------------------------------------------------------------------

class CatalogCorpus : public testing::Test {
protected:
    void SetUp() override {
        folder = std::string(PAGEWRIGHT_CORPUS_DIR) + "/";
        if (!FolderExists(folder)) GTEST_SKIP() << "no corpus of real data files at " << folder;
        files = PrimaryFiles(folder);
        ASSERT_FALSE(files.empty()) << "no primary file listed in " << folder << "MANIFEST.tsv";
    }
    std::string folder;
    std::vector<CorpusFile> files;
};

struct Opened {
    pw::AppState state;
    forge::RecordingEventSink sink;
    std::unique_ptr<pw::CDatabaseFileSet> files;
    std::unique_ptr<pw::CCatalog> catalog;
    explicit Opened(const std::string& path) {
        files = pw::CDatabaseFileSet::OpenFileSet(path, state, sink);
        catalog = std::make_unique<pw::CCatalog>(state);
        if (files->IsOpened()) catalog->LoadCatalog(*files);
    }
};

TEST_F(CatalogCorpus, EveryUserTableOpensWithPlausibleColumns) {
    const std::regex typeText(R"([a-z_0-9]+\(-?[0-9]+\))");
    int tables = 0;
    for (const CorpusFile& file : files) {
        SCOPED_TRACE(file.file);
        Opened db(folder + file.file);
        ASSERT_TRUE(db.files->IsOpened());
        pw::CCatalog& catalog = *db.catalog;
        EXPECT_FALSE(db.state.m_bIsSql2000);  // every old file there was upgraded
        ASSERT_FALSE(catalog.objects.empty());
        EXPECT_FALSE(catalog.columns.empty());
        EXPECT_FALSE(catalog.types.empty());
        const std::vector<pw::ObjectRow> objects = catalog.objects;
        for (const pw::ObjectRow& row : objects) {
            EXPECT_EQ(row.name.rfind("Repairname", 0), std::string::npos) << row.id;
            if (row.typeCode != "U ") continue;
            SCOPED_TRACE(row.name);
            ++tables;
            const auto columns = catalog.OpenObject(row.name, row.typeCode);
            ASSERT_FALSE(columns.empty());
            EXPECT_TRUE(catalog.isTableOpen);
            std::set<int> ids;
            for (const pw::ColumnDescriptor& d : columns) {
                EXPECT_FALSE(d.name.empty());
                EXPECT_EQ(d.name.find("RepairColumn"), std::string::npos);
                EXPECT_TRUE(ids.insert(d.columnId).second) << "column id twice: " << d.columnId;
                EXPECT_TRUE(std::regex_match(d.typeText, typeText)) << d.name << " " << d.typeText;
                EXPECT_GE(d.valueKind, 0);
                EXPECT_LE(d.valueKind, 34);
                // A stored column has a place in the row.
                if (d.ordinal != pw::kNotStoredOrdinal) {
                    EXPECT_EQ(d.inRow, 1) << d.name;
                }
            }
            EXPECT_TRUE(std::is_sorted(columns.begin(), columns.end(),
                                       [](const auto& a, const auto& b) { return a.columnId < b.columnId; }));
        }
    }
    EXPECT_GT(tables, 0);
}

// The tables of the creating scripts: where a table of the script is in the
// database, its columns are compared by name, order and (system) type. The
// sample databases (Northwind, pubs) must match table for table; the scripts
// kept beside other databases were written before later changes, so there
// only most tables must match.
TEST_F(CatalogCorpus, TablesMatchTheirCreatingScripts) {
    int compared = 0;
    for (const CorpusFile& file : files) {
        if (file.truth.empty()) continue;
        SCOPED_TRACE(file.file);
        std::vector<ScriptTable> scriptTables;
        bool sample = false;
        for (const std::string& name : file.truth) {
            const std::string bytes = ReadWhole(folder + "truth/" + name);
            if (bytes.empty()) continue;
            for (ScriptTable& t : ParseCreateTables(ScriptText(bytes))) scriptTables.push_back(t);
            if (name == "instnwnd.sql" || name == "instpubs.sql") sample = true;
        }
        if (scriptTables.empty()) continue;
        Opened db(folder + file.file);
        pw::CCatalog& catalog = *db.catalog;
        int found = 0, matched = 0;
        std::set<std::string> seen;
        for (const ScriptTable& table : scriptTables) {
            if (!seen.insert(table.name).second) continue;  // the same table in two scripts
            const pw::ObjectRow* row = catalog.FindObject(table.name, "U ");
            if (!row || row->typeCode != "U ") continue;
            ++found;
            const auto columns = catalog.OpenObject(table.name, "U ");
            std::vector<std::string> names, expectedNames;
            for (const auto& d : columns) names.push_back(d.name);
            for (const auto& c : table.columns) expectedNames.push_back(c.name);
            bool same = names == expectedNames;
            if (same) {
                for (std::size_t i = 0; i < columns.size(); ++i) {
                    const std::string expectedType = CatalogTypeName(table.columns[i].type);
                    if (!expectedType.empty() && TypeName(columns[i].typeText) != expectedType) {
                        same = false;
                        ADD_FAILURE() << table.name << "." << names[i] << ": " << columns[i].typeText << " but the script says "
                                      << table.columns[i].type;
                    }
                }
            }
            if (same) {
                ++matched;
            } else if (sample) {
                ADD_FAILURE() << "table " << table.name << " differs from its creating script";
            }
        }
        ++compared;
        EXPECT_GT(found, 0) << "no table of the script is in the database";
        if (sample) {
            EXPECT_EQ(matched, found);
        } else {
            EXPECT_GE(2 * matched, found) << matched << " of " << found << " tables match";
        }
        std::printf("[ catalog ] %s: %d of %zu script tables found, %d match\n", file.file.c_str(), found, seen.size(),
                    matched);
    }
    EXPECT_GT(compared, 0);
}

}  // namespace
