#include "database/JetImport.h"

#include <cctype>
#include <filesystem>

#include "base/Cp1252.h"
#include "database/Database.h"
#include "database/RecordSet.h"
#include "database/Schema.h"

namespace tavik {

namespace {

std::string Upper(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Yes/no columns arrive as "1"/"0" (or words, from other readers).
CDbValue FromText(const std::string& text, DbType type) {
    switch (type) {
        case DbType::Boolean: {
            std::string u = Upper(text);
            bool yes = u == "YES" || u == "TRUE" || u == "ON" ||
                       (!u.empty() && std::strtol(u.c_str(), nullptr, 10) != 0);
            return CDbValue::Bool(yes);
        }
        case DbType::Byte:
        case DbType::Short:
        case DbType::Long:
            return CDbValue::Integer(std::strtoll(text.c_str(), nullptr, 10));
        default:
            return CDbValue::Text(text);
    }
}

}  // namespace

std::string ImportTargetPath(const std::string& jetPath) {
    std::filesystem::path p(Cp1252ToUtf8(jetPath));
    std::filesystem::path folder = p.parent_path();
    std::string stem = p.stem().string();
    std::error_code ec;
    for (int n = 1; n < 1000; ++n) {
        std::string name = n == 1 ? stem + ".db" : stem + " (" + std::to_string(n) + ").db";
        std::filesystem::path candidate = folder / name;
        if (!std::filesystem::exists(candidate, ec)) return Utf8ToCp1252(candidate.string());
    }
    return {};
}

bool ImportJetCatalogue(CJetReader& reader, const std::string& target, std::string& error) {
    std::vector<std::string> offered = reader.Tables();
    std::vector<std::string> sourceNames;
    for (const auto& t : CatalogueTables()) {
        std::string found;
        for (const auto& name : offered)
            if (Upper(name) == Upper(t.table.name)) found = name;
        if (found.empty()) {
            error = "The Jet database has no table " + t.table.name +
                    ", so it is no TAVIK catalogue; nothing was imported";
            return false;
        }
        sourceNames.push_back(found);
    }
    if (target.empty()) {
        error = "No free file name for the imported catalogue";
        return false;
    }

    CDatabase db;
    auto fail = [&](const std::string& text) {
        error = text;
        db.Close();
        std::error_code ec;
        std::filesystem::remove(Cp1252ToUtf8(target), ec);
        std::filesystem::remove(Cp1252ToUtf8(target) + "-wal", ec);
        std::filesystem::remove(Cp1252ToUtf8(target) + "-shm", ec);
        return false;
    };
    if (!db.Create(target)) {
        error = db.ErrorText();
        return false;
    }
    if (!CreateCatalogueTables(db)) return fail(db.ErrorText());
    CTransaction transaction(db);
    if (!transaction.Started()) return fail(db.ErrorText());

    for (size_t t = 0; t < CatalogueTables().size(); ++t) {
        const TableDef& def = CatalogueTables()[t].table;
        CRecordSet set(&db);
        if (!set.Open("SELECT ALL * FROM [" + def.name + "]")) return fail(set.ErrorText());
        std::vector<std::string> columns;
        std::vector<int> targetField;  // per source column: field of the new table, or -1
        std::string rowError;
        const bool isLink = def.name == "DiskFileMM";
        bool read = reader.ReadTable(sourceNames[t], columns, [&](const CJetReader::Row& row) {
            if (targetField.empty()) {
                for (const auto& c : columns)
                    targetField.push_back(set.FieldIndex(c));
            }
            set.AddNew();
            for (size_t i = 0; i < row.size() && i < targetField.size(); ++i) {
                if (targetField[i] < 0 || !row[i]) continue;
                set.SetFieldValue(targetField[i],
                                  FromText(*row[i], set.GetFieldInfo(targetField[i]).type));
            }
            if (!set.Update()) {
                set.CancelUpdate();
                // A link to a disk or file that is not there cannot be kept under the
                // relations; such a row is left out.
                if (isLink) return true;
                rowError = set.ErrorText();
                return false;
            }
            return true;
        });
        if (!read) return fail(rowError.empty() ? reader.ErrorText() : def.name + ": " + rowError);
    }
    if (!transaction.Commit()) return fail(db.ErrorText());
    db.Close();
    return true;
}

}  // namespace tavik
