#include "database/query/CatalogueParams.h"

#include <filesystem>

#include "database/ParamSet.h"

namespace tavik {

ParamValue ToParamValue(const CDbValue& value) {
    switch (value.GetKind()) {
        case CDbValue::Kind::Null:
            return ParamValue::Null();
        case CDbValue::Kind::Bool:
            return ParamValue::YesNo(value.AsBool());
        case CDbValue::Kind::Integer:
            return ParamValue::Number(static_cast<long>(value.AsInteger()));
        default:
            return ParamValue::Text(value.AsText());
    }
}

CDbValue ToDbValue(const ParamValue& value) {
    if (value.null) return CDbValue::Null();
    switch (value.type) {
        case kParamYesNo:
            return CDbValue::Bool(value.yes);
        case kParamNumber:
            return CDbValue::Integer(value.number);
        default:
            return CDbValue::Text(value.text);
    }
}

std::optional<CParamSource::Stored> CCatalogueParams::FindStored(const std::string& name) {
    if (!m_catalogue.IsOpen()) return std::nullopt;
    CParamSet params(&m_catalogue.Database());
    if (!params.Open("SELECT ALL * FROM [Params] WHERE [Name] = " + JetTextLiteral(name)) ||
        params.IsEOF())
        return std::nullopt;
    return Stored{params.m_Type.Value(), params.m_Value.Value()};
}

std::optional<ParamValue> CCatalogueParams::CurrentColumn(bool files, const std::string& column) {
    if (!m_catalogue.IsOpen()) return std::nullopt;
    std::optional<int32_t> id = files ? m_fileId : m_diskId;
    CRecordSet& current = files ? static_cast<CRecordSet&>(m_catalogue.FileSet())
                                : static_cast<CRecordSet&>(m_catalogue.DiskSet());
    if (!id && current.IsOpen() && !current.IsEOF() && !current.IsBOF()) {
        const CDbValue v = current.GetFieldValue("ID");
        if (!v.IsNull()) id = static_cast<int32_t>(v.AsInteger());
    }
    if (!id) return std::nullopt;
    CRecordSet row(&m_catalogue.Database());
    if (!row.Open(files ? "SELECT ALL * FROM [Files]" : "SELECT ALL * FROM [Disks]") ||
        !row.FindFirst("ID=" + std::to_string(*id)))
        return std::nullopt;
    if (row.FieldIndex(column) < 0) return std::nullopt;
    return ToParamValue(row.GetFieldValue(column));
}

std::optional<ParamValue> CCatalogueParams::CurrentDisk(const std::string& column) {
    return CurrentColumn(false, column);
}

std::optional<ParamValue> CCatalogueParams::CurrentFile(const std::string& column) {
    return CurrentColumn(true, column);
}

std::string CCatalogueParams::CurrentFolder() {
    if (!m_folder.empty()) return m_folder;
    std::error_code ec;
    return std::filesystem::current_path(ec).string();
}

void CCatalogueParams::Store(const std::string& name, const std::string& value, int32_t type) {
    CParamSet params(&m_catalogue.Database());
    if (!params.Open() || !params.AddNew()) return;
    params.m_Name = name;
    if (value.empty())
        params.m_Value.SetNull();
    else
        params.m_Value = value;
    params.m_Type = type;
    if (!params.Update()) m_catalogue.Prompt().Message(params.ErrorText(), PromptIcon::Error);
}

namespace {

StatementResult Prepare(CDatabase& db, const std::string& sql, CParamSource& source,
                        CParamAsker& asker, CUserPrompt& prompt, CQueryDef& def,
                        std::string& error) {
    if (!db.CreateQueryDef(sql, def)) {
        error = db.ErrorText();
        return StatementResult::Failed;
    }
    const std::vector<std::string> names = def.Parameters();
    for (size_t i = 0; i < names.size(); ++i) {
        ParamValue value;
        switch (ResolveParameter(ParameterName(names[i]), source, asker, prompt, value)) {
            case ResolveResult::Cancelled:
                return StatementResult::Cancelled;
            case ResolveResult::NoValue:
                def.SetParameter(i, CDbValue::Null());
                break;
            case ResolveResult::Value:
                def.SetParameter(i, ToDbValue(value));
                break;
        }
    }
    return StatementResult::Done;
}

}  // namespace

StatementResult OpenResolved(CRecordSet& set, CDatabase& db, const std::string& sql,
                             CParamSource& source, CParamAsker& asker, CUserPrompt& prompt,
                             std::string& error) {
    CQueryDef def;
    const StatementResult prepared = Prepare(db, sql, source, asker, prompt, def, error);
    if (prepared != StatementResult::Done) return prepared;
    if (!set.Open(def)) {
        error = set.ErrorText();
        return StatementResult::Failed;
    }
    return StatementResult::Done;
}

StatementResult ExecuteResolved(CDatabase& db, const std::string& sql, CParamSource& source,
                                CParamAsker& asker, CUserPrompt& prompt, int& changed,
                                std::string& error) {
    CQueryDef def;
    const StatementResult prepared = Prepare(db, sql, source, asker, prompt, def, error);
    if (prepared != StatementResult::Done) return prepared;
    changed = db.Execute(def);
    if (changed < 0) {
        error = db.ErrorText();
        return StatementResult::Failed;
    }
    return StatementResult::Done;
}

}  // namespace tavik
