#include "database/query/QueryRules.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "base/UpperAscii.h"
#include "database/query/ParamResolver.h"

namespace tavik {

std::string WriteColumnCodes(const std::vector<int32_t>& codes) {
    std::string text;
    char buffer[16];
    for (int32_t code : codes) {
        std::snprintf(buffer, sizeof buffer, "%08X,", static_cast<uint32_t>(code));
        text += buffer;
    }
    return text;
}

std::vector<int32_t> ReadColumnCodes(const std::string& text) {
    std::vector<int32_t> codes;
    size_t pos = 0;
    while (true) {
        const size_t comma = text.find(',', pos);
        if (comma == std::string::npos) break;
        const std::string item = text.substr(pos, comma - pos);
        const char* begin = item.c_str();
        char* end = nullptr;
        const unsigned long value = std::strtoul(begin, &end, 16);
        if (end == begin) break;
        codes.push_back(static_cast<int32_t>(static_cast<uint32_t>(value)));
        pos = comma + 1;
    }
    return codes;
}

std::string FromText(int32_t kind) {
    switch (static_cast<QueryKind>(kind)) {
        case QueryKind::Disks:
            return "Disks";
        case QueryKind::Files:
            return "Files";
        case QueryKind::Sql:
            return "SQL";
    }
    return {};
}

std::optional<int32_t> KindFromText(const std::string& from) {
    if (from == "Disks") return static_cast<int32_t>(QueryKind::Disks);
    if (from == "Files") return static_cast<int32_t>(QueryKind::Files);
    if (from == "SQL") return static_cast<int32_t>(QueryKind::Sql);
    return std::nullopt;
}

bool SuitableParent(int32_t kind, int32_t combination, int32_t candidateKind,
                    int32_t candidateCombination) {
    if (!IsTableQuery(candidateKind)) return false;
    const bool crossing = combination >= kDisksWithFiles;
    if (!crossing && candidateKind != kind) return false;
    if (crossing && candidateKind == kind) return false;
    if (candidateCombination != 0 && (candidateCombination >= kDisksWithFiles) != crossing)
        return false;
    return true;
}

std::optional<int32_t> TypeFromText(const std::string& text) {
    const std::string upper = UpperAscii(text);
    if (upper.find("TEXT") != std::string::npos) return kParamText;
    if (upper.find("NUM") != std::string::npos) return kParamNumber;
    if (upper.find("BOOL") != std::string::npos) return kParamYesNo;
    return std::nullopt;
}

std::string TypeText(int32_t type) {
    switch (ParamTypeClass(type)) {
        case kParamYesNo:
            return "BOOL";
        case kParamNumber:
            return "NUM";
        case kParamText:
            return "TEXT";
        default:
            return std::to_string(type);
    }
}

void AppendSetColumn(std::string& set, const std::string& column, const std::string& value) {
    if (set.empty())
        set = "[" + column + "] = " + value;
    else
        set += ", [" + column + "] = " + value;
}

std::string BulkUpdateStatement(bool files, const std::string& set, const std::string& where) {
    std::string s = files ? "UPDATE [Files] SET " : "UPDATE [Disks] SET ";
    s += set;
    if (!where.empty()) s += " WHERE " + where;
    return s;
}

}  // namespace tavik
