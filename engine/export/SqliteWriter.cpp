// One SQLite database: a table per recovered table with typed columns
// (INTEGER, REAL, TEXT, BLOB), the rows inserted through one prepared
// statement in transactions of kRowsPerTransaction rows, and the
// definitions in pagewright_definitions(name, type, definition).

#include <sqlite3.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>

#include "export/ExportTypes.h"
#include "export/ExportWriters.h"
#include "export/FileNames.h"

namespace pw {

namespace {

constexpr std::int64_t kRowsPerTransaction = 20000;
constexpr char kDefinitionsTable[] = "pagewright_definitions";

class SqliteWriter final : public ExportWriter {
public:
    explicit SqliteWriter(std::string path) : path_(std::move(path)) {}
    ~SqliteWriter() override { Close(); }

    bool Open(std::string& error) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(path_, ec)) std::filesystem::remove(path_, ec);
        if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            error = "Cannot create " + path_ + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory");
            return false;
        }
        // A new file written once: a crash leaves an export to redo, not data to save.
        if (!Exec("PRAGMA synchronous=OFF", error) || !Exec("PRAGMA journal_mode=TRUNCATE", error)) return false;
        tableNames_.Reserve(kDefinitionsTable);
        return Exec(std::string("CREATE TABLE ") + kDefinitionsTable + " (name TEXT, type TEXT, definition TEXT)",
                    error);
    }

    bool BeginTable(const ExportTable& table, std::string& error) override {
        Finalize();
        // SQLite keeps names starting with sqlite_ for itself.
        std::string name = table.name.empty() ? std::string("table") : table.name;
        if (name.size() >= 7 && std::equal(name.begin(), name.begin() + 7, "sqlite_",
                                           [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
            name = "t_" + name;
        name = tableNames_.Take(name);

        stored_ = StoredColumns(table.columns);
        classes_.clear();
        UniqueNames columnNames;
        std::string create = "CREATE TABLE " + SqliteName(name) + " (";
        std::string insert = "INSERT INTO " + SqliteName(name) + " VALUES (";
        for (std::size_t k = 0; k < stored_.size(); ++k) {
            const ColumnDescriptor& column = table.columns[stored_[k]];
            const SqliteClass storage = SqliteClassOf(column);
            classes_.push_back(storage);
            create += (k ? ", " : "") + SqliteName(columnNames.Take(column.name.empty() ? "column" : column.name)) +
                      " " + SqliteTypeName(storage);
            insert += k ? ",?" : "?";
        }
        if (stored_.empty()) {
            create += "pagewright_no_columns TEXT";
            insert += "NULL";
        }
        create += ")";
        insert += ")";
        if (!Exec(create, error) || !Begin(error)) return false;
        if (sqlite3_prepare_v2(db_, insert.c_str(), -1, &insert_, nullptr) != SQLITE_OK) return Fail(error);
        return true;
    }

    bool WriteRow(const std::vector<ColumnDescriptor>& row, std::string& error) override {
        sqlite3_reset(insert_);
        for (std::size_t k = 0; k < stored_.size(); ++k) {
            const int slot = static_cast<int>(k) + 1;
            const std::size_t i = stored_[k];
            if (i >= row.size() || row[i].isNull) {
                sqlite3_bind_null(insert_, slot);
                continue;
            }
            cellBytes_ += row[i].value.size();
            if (!Bind(slot, classes_[k], row[i].value)) return Fail(error);
        }
        if (sqlite3_step(insert_) != SQLITE_DONE) return Fail(error);
        if (++rowsInTransaction_ >= kRowsPerTransaction) return Commit(error) && Begin(error);
        return true;
    }

    bool EndTable(bool, std::string& error) override {
        Finalize();
        return Commit(error);
    }

    bool WriteDefinition(const ExportDefinition& definition, std::string& error) override {
        sqlite3_stmt* statement = nullptr;
        const char* sql = "INSERT INTO pagewright_definitions (name, type, definition) VALUES (?, ?, ?)";
        if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) return Fail(error);
        sqlite3_bind_text(statement, 1, definition.name.data(), static_cast<int>(definition.name.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_text(statement, 2, definition.typeCode.data(), static_cast<int>(definition.typeCode.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_text64(statement, 3, definition.text.data(), definition.text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        const bool ok = sqlite3_step(statement) == SQLITE_DONE;
        sqlite3_finalize(statement);
        return ok ? true : Fail(error);
    }

    bool Finish(std::string& error) override {
        Finalize();
        if (!Commit(error)) return false;
        if (sqlite3_close(db_) != SQLITE_OK) return Fail(error);
        db_ = nullptr;
        return true;
    }

private:
    bool Bind(int slot, SqliteClass storage, const std::string& text) {
        switch (storage) {
            case SqliteClass::kInteger: {
                std::int64_t value = 0;
                if (text == "True") value = 1;
                else if (text == "False") value = 0;
                else if (text.empty() || text == " ") return sqlite3_bind_null(insert_, slot) == SQLITE_OK;
                else {
                    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
                    if (ec != std::errc{} || end != text.data() + text.size()) break;
                }
                return sqlite3_bind_int64(insert_, slot, value) == SQLITE_OK;
            }
            case SqliteClass::kReal: {
                if (text.empty() || text == " ") return sqlite3_bind_null(insert_, slot) == SQLITE_OK;
                if (!IsNumberText(text)) break;
                char* end = nullptr;
                const double value = std::strtod(text.c_str(), &end);
                if (end != text.c_str() + text.size()) break;
                return sqlite3_bind_double(insert_, slot, value) == SQLITE_OK;
            }
            case SqliteClass::kBlob:
                if (!DecodeHexText(text, bytes_)) break;
                return sqlite3_bind_blob64(insert_, slot, bytes_.data(), bytes_.size(), SQLITE_TRANSIENT) == SQLITE_OK;
            case SqliteClass::kText:
                break;
        }
        // Text that is not its column's kind of value is kept as text.
        return sqlite3_bind_text64(insert_, slot, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8) ==
               SQLITE_OK;
    }

    bool Exec(const std::string& sql, std::string& error) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
        error = "SQLite: " + std::string(message ? message : "error") + " (" + path_ + ")";
        sqlite3_free(message);
        return false;
    }
    bool Begin(std::string& error) {
        if (!Exec("BEGIN", error)) return false;
        inTransaction_ = true;
        rowsInTransaction_ = 0;
        return true;
    }
    bool Commit(std::string& error) {
        if (!inTransaction_) return true;
        inTransaction_ = false;
        return Exec("COMMIT", error);
    }
    bool Fail(std::string& error) {
        error = "SQLite: " + std::string(sqlite3_errmsg(db_)) + " (" + path_ + ")";
        return false;
    }
    void Finalize() {
        if (insert_ != nullptr) sqlite3_finalize(insert_);
        insert_ = nullptr;
    }
    void Close() {
        Finalize();
        if (db_ != nullptr) {
            if (inTransaction_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(db_);
        }
        db_ = nullptr;
    }

    std::string path_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    bool inTransaction_ = false;
    std::int64_t rowsInTransaction_ = 0;
    UniqueNames tableNames_;
    std::vector<std::size_t> stored_;
    std::vector<SqliteClass> classes_;
    std::string bytes_;  // reused for every blob
};

}  // namespace

std::unique_ptr<ExportWriter> MakeSqliteWriter(const std::string& path, std::string& error) {
    auto writer = std::make_unique<SqliteWriter>(path);
    if (!writer->Open(error)) return nullptr;
    return writer;
}

}  // namespace pw
