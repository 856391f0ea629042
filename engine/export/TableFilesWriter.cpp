// csv and JSON Lines: one file per table in the output folder, named after the table.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "export/ExportWriters.h"
#include "export/FileNames.h"
#include "export/TextEscape.h"

namespace pw {

namespace {

class TableFilesWriter final : public ExportWriter {
public:
    TableFilesWriter(std::string folder, bool jsonLines) : folder_(std::move(folder)), jsonLines_(jsonLines) {}
    ~TableFilesWriter() override { Close(); }

    bool BeginTable(const ExportTable& table, std::string& error) override {
        Close();
        shown_ = StoredColumns(table.columns);
        names_.clear();
        for (std::size_t i : shown_) names_.push_back(table.columns[i].name);
        const std::string file = names_taken_.Take(SafeFileStem(table.name)) + (jsonLines_ ? ".jsonl" : ".csv");
        path_ = (std::filesystem::path(folder_) / file).string();
        out_ = std::fopen(path_.c_str(), "wb");
        if (out_ == nullptr) {
            error = "Cannot create " + path_ + ": " + std::strerror(errno);
            return false;
        }
        std::setvbuf(out_, nullptr, _IOFBF, 1 << 16);
        if (jsonLines_) return true;
        line_.clear();
        for (std::size_t k = 0; k < names_.size(); ++k) {
            if (k) line_ += ',';
            AppendCsvField(line_, names_[k]);
        }
        line_ += "\r\n";
        return Put(error);
    }

    bool WriteRow(const std::vector<ColumnDescriptor>& row, std::string& error) override {
        static const std::string kEmpty;
        line_.clear();
        for (std::size_t k = 0; k < shown_.size(); ++k) {
            const std::size_t i = shown_[k];
            const bool present = i < row.size();
            const std::string& text = present ? row[i].value : kEmpty;
            cellBytes_ += text.size();
            if (jsonLines_) {
                line_ += k ? ',' : '{';
                AppendJsonString(line_, names_[k]);
                line_ += ':';
                if (present && row[i].isNull)
                    line_ += "null";
                else
                    AppendJsonString(line_, text);
            } else {
                if (k) line_ += ',';
                AppendCsvField(line_, text);
            }
        }
        if (jsonLines_) line_ += shown_.empty() ? "{}\n" : "}\n";
        else line_ += "\r\n";
        return Put(error);
    }

    bool EndTable(bool, std::string& error) override {
        if (out_ == nullptr) return true;
        const bool ok = std::fclose(out_) == 0;
        out_ = nullptr;
        if (!ok) error = "Cannot finish " + path_ + ": " + std::strerror(errno);
        return ok;
    }

    bool WriteDefinition(const ExportDefinition&, std::string&) override { return true; }
    bool Finish(std::string& error) override { return EndTable(true, error); }

    bool Open(std::string& error) {
        std::error_code ec;
        std::filesystem::create_directories(folder_, ec);
        if (!std::filesystem::is_directory(folder_)) {
            error = "Cannot create the folder " + folder_ + (ec ? ": " + ec.message() : std::string());
            return false;
        }
        return true;
    }

private:
    bool Put(std::string& error) {
        if (std::fwrite(line_.data(), 1, line_.size(), out_) == line_.size()) return true;
        error = "Cannot write " + path_ + ": " + std::strerror(errno);
        return false;
    }
    void Close() {
        if (out_ != nullptr) std::fclose(out_);
        out_ = nullptr;
    }

    std::string folder_;
    bool jsonLines_;
    UniqueNames names_taken_;
    std::FILE* out_ = nullptr;
    std::string path_;
    std::vector<std::size_t> shown_;
    std::vector<std::string> names_;
    std::string line_;  // reused for every row
};

}  // namespace

std::unique_ptr<ExportWriter> MakeTableFilesWriter(const std::string& folder, bool jsonLines, std::string& error) {
    auto writer = std::make_unique<TableFilesWriter>(folder, jsonLines);
    if (!writer->Open(error)) return nullptr;
    return writer;
}

}  // namespace pw
