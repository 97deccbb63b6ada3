#include "database/DisplaySpec.h"

#include <array>
#include <cctype>
#include <cstdio>

#include "base/CInteger.h"
#include "database/CatalogueColumns.h"
#include "database/InfoSet.h"

namespace tavik {

namespace {

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return std::string(s.substr(b, e - b));
}

std::string Upper(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Reads "%d": optional blanks, an optional sign, decimal digits.
bool ReadDecimal(std::string_view s, int& value) {
    size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    long v = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && v < 100000000)
        v = v * 10 + (s[i++] - '0');
    value = static_cast<int>(negative ? -v : v);
    return true;
}

struct SpecToken {
    std::string name;  // trimmed token text
    bool hasFormat = false;
    bool hasWidth = false;
    int width = 0;
    int justification = JustifyDefault;
    bool justificationWord = false;
};

std::vector<SpecToken> Tokens(std::string_view spec) {
    std::vector<SpecToken> tokens;
    size_t pos = 0;
    while ((pos = spec.find('[', pos)) != std::string_view::npos) {
        size_t close = spec.find(']', pos + 1);
        if (close == std::string_view::npos) break;
        SpecToken t;
        t.name = Trim(spec.substr(pos + 1, close - pos - 1));
        pos = close + 1;
        size_t lt = spec.find('<', close + 1);
        if (lt != std::string_view::npos && lt <= close + 2) {
            size_t gt = spec.find('>', lt + 1);
            if (gt != std::string_view::npos) {
                std::string format = Upper(Trim(spec.substr(lt + 1, gt - lt - 1)));
                t.hasFormat = true;
                t.hasWidth = ReadDecimal(format, t.width);
                t.justificationWord = true;
                if (format.find("LEFT") != std::string::npos) {
                    t.justification = JustifyLeft;
                } else if (format.find("CENTER") != std::string::npos) {
                    t.justification = JustifyCenter;
                } else if (format.find("RIGHT") != std::string::npos) {
                    t.justification = JustifyRight;
                } else {
                    t.justificationWord = false;
                }
                pos = gt + 1;
            }
        }
        if (!t.name.empty()) tokens.push_back(t);
    }
    return tokens;
}

// The field number a token names, -1 when it names none.
int FieldOf(const SpecToken& t, const std::vector<std::string>& captions) {
    if (t.name[0] == '#') {
        int n = 0;
        return ReadDecimal(std::string_view(t.name).substr(1), n) && n >= 0 ? n : -1;
    }
    const std::string u = Upper(t.name);
    for (size_t i = 0; i < captions.size(); ++i)
        if (Upper(captions[i]) == u) return static_cast<int>(i);
    return -1;
}

const char* const kInfoNames[] = {
    "Default disk query fields",     "Default file query fields",    "Default query list fields",
    "Default parameter list fields", "Default disk query sizes",     "Default file query sizes",
    "Default query list sizes",      "Default parameter list sizes", "Default SQL query sizes",
};

}  // namespace

const std::vector<std::string>& ListCaptions(ListKind list) {
    static const auto kCaptions = [] {
        std::array<std::vector<std::string>, 4> captions;
        const CatalogueTable tables[] = {CatalogueTable::Disks, CatalogueTable::Files,
                                         CatalogueTable::Queries, CatalogueTable::Params};
        for (size_t t = 0; t < 4; ++t)
            for (const CatalogueColumn* c : ListedColumns(tables[t]))
                captions[t].push_back(c->Caption());
        return captions;
    }();
    static const std::vector<std::string> catalog = {"File name",
                                                     "Type",
                                                     "Size",
                                                     "Records",
                                                     "Last byte",
                                                     "Rec per sec",
                                                     "Protected",
                                                     "Clusters",
                                                     "Creation date",
                                                     "Creation time",
                                                     "Modification date",
                                                     "Modification time",
                                                     "FDR"};
    static const std::vector<std::string> none;
    switch (list) {
        case ListKind::DiskCatalog:
            return catalog;
        case ListKind::DiskQuery:
            return kCaptions[0];
        case ListKind::FileQuery:
            return kCaptions[1];
        case ListKind::QueryList:
            return kCaptions[2];
        case ListKind::ParamList:
            return kCaptions[3];
        case ListKind::FreeSql:
            return none;
    }
    return none;
}

std::vector<uint16_t> ParseSizeList(std::string_view text) {
    std::vector<uint16_t> sizes;
    size_t pos = 0;
    while ((pos = text.find('<', pos)) != std::string_view::npos) {
        ++pos;
        std::optional<long> v = ReadCInteger(text.substr(pos));
        if (!v) break;
        sizes.push_back(static_cast<uint16_t>(*v));
    }
    return sizes;
}

std::string WriteSizeList(const std::vector<uint16_t>& sizes) {
    std::string text;
    for (uint16_t s : sizes)
        text += "<" + std::to_string(s) + ">";
    return text;
}

std::vector<uint32_t> BuildColumns(std::string_view display,
                                   const std::vector<std::string>& captions,
                                   const std::vector<uint16_t>& sizes, bool freeSql) {
    std::vector<uint32_t> columns;
    std::vector<SpecToken> tokens = Tokens(display);
    if (freeSql && tokens.empty()) {
        for (size_t i = 0; i < captions.size(); ++i) {
            uint16_t size = i < sizes.size() ? sizes[i] : (sizes.empty() ? 0 : sizes.back());
            columns.push_back(
                ColumnCode(static_cast<int>(i), SizeWidth(size), SizeJustification(size)));
        }
        return columns;
    }
    for (size_t k = 0; k < tokens.size(); ++k) {
        const SpecToken& t = tokens[k];
        int field = FieldOf(t, captions);
        if (field < 0) continue;
        if (freeSql && field >= static_cast<int>(captions.size())) field = static_cast<int>(k);
        if (field >= static_cast<int>(captions.size()) && (freeSql || !captions.empty())) continue;
        uint16_t size =
            static_cast<size_t>(field) < sizes.size() ? sizes[static_cast<size_t>(field)] : 0;
        int width = t.hasWidth ? t.width : SizeWidth(size);
        int justification = t.hasFormat ? t.justification : SizeJustification(size);
        columns.push_back(ColumnCode(field, width, justification));
    }
    return columns;
}

std::string WriteSpecification(const std::vector<uint32_t>& columns,
                               const std::vector<std::string>& captions, bool freeSql) {
    std::string spec;
    for (uint32_t code : columns) {
        int field = CodeField(code);
        int width = CodeWidth(code);
        if (freeSql || field >= static_cast<int>(captions.size())) {
            spec += "[#" + std::to_string(field) + "]";
        } else {
            spec += "[" + captions[static_cast<size_t>(field)] + "]";
        }
        std::string widthText = width ? std::to_string(width) + " " : "";
        switch (CodeJustification(code)) {
            case JustifyRight:
                spec += "<" + widthText + "right>";
                break;
            case JustifyCenter:
                spec += "<" + widthText + "center>";
                break;
            case JustifyLeft:
                spec += "<" + widthText + "left>";
                break;
            default:
                if (width) spec += "<" + std::to_string(width) + ">";
                break;
        }
        spec += " ";
    }
    return spec;
}

std::vector<uint16_t> SizesFromSpecification(std::string_view display,
                                             const std::vector<std::string>& captions,
                                             std::vector<uint16_t> sizes) {
    for (const SpecToken& t : Tokens(display)) {
        int field = FieldOf(t, captions);
        if (field < 0 || field > 255) continue;
        if (sizes.size() <= static_cast<size_t>(field))
            sizes.resize(static_cast<size_t>(field) + 1, 0);
        int justification = t.justificationWord ? t.justification : JustifyLeft;
        sizes[static_cast<size_t>(field)] =
            static_cast<uint16_t>((t.width & 0xFFF) + justification * 0x4000);
    }
    return sizes;
}

std::string BuilderFormat(const std::string& sizeText, int justify) {
    std::string text;
    int size = 0;
    if (ReadDecimal(sizeText, size)) text = std::to_string(size) + " ";
    if (justify == JustifyLeft) text += "left";
    if (justify == JustifyCenter) text += "center";
    if (justify == JustifyRight) text += "right";
    return text.empty() ? text : "<" + text + ">";
}

std::string BuilderAddition(const std::string& field, const std::string& format,
                            const std::vector<std::string>& all) {
    if (field == "-- By field number --") return " [# x]" + format;
    if (field.rfind("-- All ", 0) == 0) {
        std::string text;
        for (const auto& caption : all)
            text += " [" + caption + "]" + format;
        return text;
    }
    return " [" + field + "]" + format;
}

std::string ValueToText(const CDbValue& value, DbType type) {
    if (value.IsNull()) return {};
    switch (type) {
        case DbType::Boolean:
            return value.AsBool() ? "Yes" : "No";
        case DbType::Short:
        case DbType::Long:
            return std::to_string(value.AsInteger());
        case DbType::Text:
        case DbType::Memo:
            return value.AsText();
        default:
            return "Unsupported type";
    }
}

bool DisplayDefaults::Load(CDatabase& db) {
    CInfoSet info(&db);
    if (!info.Open("SELECT ALL * FROM [Info]")) return false;
    std::string* texts[] = {&diskFields, &fileFields, &queryListFields, &paramListFields};
    std::vector<uint16_t>* lists[] = {&diskSizes, &fileSizes, &queryListSizes, &paramListSizes,
                                      &sqlSizes};
    for (size_t i = 0; i < 9; ++i) {
        if (!info.FindFirst(std::string("Name='") + kInfoNames[i] + "'")) continue;
        if (i < 4) {
            *texts[i] = info.m_Value.Value();
        } else {
            *lists[i - 4] = ParseSizeList(info.m_Value.Value());
        }
    }
    return true;
}

bool DisplayDefaults::Save(CDatabase& db) const {
    CInfoSet info(&db);
    if (!info.Open("SELECT ALL * FROM [Info]")) return false;
    const std::string* texts[] = {&diskFields, &fileFields, &queryListFields, &paramListFields};
    const std::vector<uint16_t>* lists[] = {&diskSizes, &fileSizes, &queryListSizes,
                                            &paramListSizes, &sqlSizes};
    for (size_t i = 0; i < 9; ++i) {
        bool found = info.FindFirst(std::string("Name='") + kInfoNames[i] + "'");
        if (found ? !info.Edit() : !info.AddNew()) return false;
        if (!found) info.m_Name = kInfoNames[i];
        info.m_Value = i < 4 ? *texts[i] : WriteSizeList(*lists[i - 4]);
        if (!info.Update()) return false;
    }
    return true;
}

}  // namespace tavik
