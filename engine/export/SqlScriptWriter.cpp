// One T-SQL script: for each table CREATE TABLE with the recovered column
// types, NULL-ability, identity and primary key, then its rows as INSERT
// statements in batches ended by GO; the definitions last (views,
// procedures, functions, triggers, constraints), each its own batch, so
// that triggers do not fire and constraints do not check while the rows go in.

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "export/ExportTypes.h"
#include "export/ExportWriters.h"

namespace pw {

namespace {

class SqlScriptWriter final : public ExportWriter {
public:
    explicit SqlScriptWriter(const ExportSettings& settings) : settings_(settings) {}
    ~SqlScriptWriter() override {
        if (out_ != nullptr) std::fclose(out_);
    }

    bool Open(std::string& error) {
        out_ = std::fopen(settings_.out.c_str(), "wb");
        if (out_ == nullptr) {
            error = "Cannot create " + settings_.out + ": " + std::strerror(errno);
            return false;
        }
        std::setvbuf(out_, nullptr, _IOFBF, 1 << 16);
        text_ = "-- Rows recovered by Kestrelbyte Pagewright v8.04";
        if (!settings_.sourceName.empty()) text_ += " from " + OneLine(settings_.sourceName);
        text_ +=
            "\n-- Run it on a new, empty database.\n"
            "SET NOCOUNT ON;\n"
            "SET DATEFORMAT ymd;\n"
            "SET ANSI_NULLS ON;\n"
            "SET QUOTED_IDENTIFIER ON;\n"
            "GO\n";
        return Put(error);
    }

    bool BeginTable(const ExportTable& table, std::string& error) override {
        tableName_ = SqlServerName(table.name);
        stored_ = StoredColumns(table.columns);
        hasIdentity_ = false;
        text_ = "\nCREATE TABLE " + tableName_ + " (";
        bool first = true;
        for (const ColumnDescriptor& column : table.columns) {
            if (column.name.empty()) continue;
            text_ += first ? "\n    " : ",\n    ";
            first = false;
            text_ += SqlServerName(column.name);
            if (column.ordinal == kNotStoredOrdinal) {
                // A computed column: its definition, as stored, in place of a type.
                text_ += " AS " + (column.value.empty() ? std::string("(NULL)") : column.value);
                continue;
            }
            text_ += " " + SqlServerTypeOf(column);
            if (!column.identityText.empty()) {
                text_ += " " + column.identityText;
                hasIdentity_ = true;
            }
            text_ += column.isNullable ? " NULL" : " NOT NULL";
        }
        if (!table.primaryKey.empty()) {
            if (settings_.withDeletedRows) {
                text_ += "\n    -- primary key left out: deleted rows may repeat its values";
            } else {
                text_ += first ? "\n    " : ",\n    ";
                first = false;
                if (!table.primaryKeyName.empty()) text_ += "CONSTRAINT " + SqlServerName(table.primaryKeyName) + " ";
                text_ += "PRIMARY KEY (";
                for (std::size_t k = 0; k < table.primaryKey.size(); ++k)
                    text_ += (k ? ", " : "") + SqlServerName(table.primaryKey[k]);
                text_ += ")";
            }
        }
        if (first) text_ += "\n    [pagewright_no_columns] int NULL";  // a table needs a column
        text_ += "\n);\nGO\n";
        if (hasIdentity_) text_ += "SET IDENTITY_INSERT " + tableName_ + " ON;\n";

        insertHead_ = "INSERT INTO " + tableName_ + " (";
        for (std::size_t k = 0; k < stored_.size(); ++k)
            insertHead_ += (k ? ", " : "") + SqlServerName(table.columns[stored_[k]].name);
        insertHead_ += ") VALUES (";
        rowsInBatch_ = 0;
        rows_ = 0;
        return Put(error);
    }

    bool WriteRow(const std::vector<ColumnDescriptor>& row, std::string& error) override {
        if (stored_.empty()) return true;
        text_ = insertHead_;
        for (std::size_t k = 0; k < stored_.size(); ++k) {
            if (k) text_ += ", ";
            const std::size_t i = stored_[k];
            if (i >= row.size()) {
                text_ += "NULL";
                continue;
            }
            cellBytes_ += row[i].value.size();
            text_ += SqlLiteral(row[i]);
        }
        text_ += ");\n";
        ++rows_;
        if (++rowsInBatch_ >= settings_.batchRows) {
            text_ += "GO\n";
            rowsInBatch_ = 0;
        }
        return Put(error);
    }

    bool EndTable(bool complete, std::string& error) override {
        text_.clear();
        if (rowsInBatch_ > 0) text_ += "GO\n";
        rowsInBatch_ = 0;
        if (hasIdentity_) text_ += "SET IDENTITY_INSERT " + tableName_ + " OFF;\nGO\n";
        text_ += "-- " + tableName_ + ": " + std::to_string(rows_) + " rows" +
                 (complete ? std::string() : std::string(", incomplete: the rows after these could not be read")) +
                 "\n";
        const bool ok = Put(error);
        if (ok && std::fflush(out_) != 0) {
            error = "Cannot write " + settings_.out + ": " + std::strerror(errno);
            return false;
        }
        return ok;
    }

    bool WriteDefinition(const ExportDefinition& definition, std::string& error) override {
        if (definition.text.empty()) return true;
        text_ = "\n-- " + OneLine(definition.name) + " (" + definition.typeCode + ")\n" + definition.text;
        if (text_.back() != '\n') text_ += '\n';
        text_ += "GO\n";
        return Put(error);
    }

    bool Finish(std::string& error) override {
        if (out_ == nullptr) return true;
        const bool ok = std::fclose(out_) == 0;
        out_ = nullptr;
        if (!ok) error = "Cannot finish " + settings_.out + ": " + std::strerror(errno);
        return ok;
    }

private:
    static std::string OneLine(const std::string& text) {
        std::string line = text;
        for (char& c : line)
            if (c == '\r' || c == '\n') c = ' ';
        return line;
    }

    bool Put(std::string& error) {
        if (std::fwrite(text_.data(), 1, text_.size(), out_) == text_.size()) return true;
        error = "Cannot write " + settings_.out + ": " + std::strerror(errno);
        return false;
    }

    ExportSettings settings_;
    std::FILE* out_ = nullptr;
    std::string text_;  // reused for every statement
    std::string tableName_;
    std::string insertHead_;
    std::vector<std::size_t> stored_;
    bool hasIdentity_ = false;
    std::int64_t rowsInBatch_ = 0;
    std::int64_t rows_ = 0;
};

}  // namespace

std::unique_ptr<ExportWriter> MakeSqlScriptWriter(const ExportSettings& settings, std::string& error) {
    auto writer = std::make_unique<SqlScriptWriter>(settings);
    if (!writer->Open(error)) return nullptr;
    return writer;
}

}  // namespace pw
