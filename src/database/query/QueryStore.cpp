#include "database/query/QueryStore.h"

#include <cstdio>

#include "database/ParamSet.h"
#include "database/QuerySet.h"
#include "database/query/CatalogueParams.h"
#include "database/query/QueryRules.h"

namespace tavik {

namespace {

// Loading follows a chain of parents at most this deep, which ends chains that loop.
constexpr int kMaxLoadDepth = 17;

void Put(TField<std::string>& field, const std::string& value) {
    if (value.empty())
        field.SetNull();
    else
        field = value;
}

std::string CountText(const char* format, size_t count) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, static_cast<int>(count));
    return buffer;
}

bool Fail(CCatalogue& catalogue, const std::string& error) {
    catalogue.Prompt().Message(error, PromptIcon::Error);
    return false;
}

}  // namespace

SaveOutcome SaveQuery(CCatalogue& catalogue, const QueryFields& node, const std::string& parentName,
                      bool listShowsSavedQueries) {
    if (!catalogue.IsOpen()) return SaveOutcome::Failed;
    CQuerySet set(&catalogue.Database());
    if (!set.Open("SELECT ALL * FROM [Queries] WHERE [Query name] = " +
                  JetTextLiteral(node.name))) {
        Fail(catalogue, set.ErrorText());
        return SaveOutcome::Failed;
    }
    if (set.IsEOF()) {
        set.AddNew();
    } else {
        if (catalogue.Prompt().Ask("Query with same name already exists. Overwrite?",
                                   PromptButtons::OkCancel) != PromptAnswer::Ok)
            return SaveOutcome::Cancelled;
        set.Edit();
    }
    const bool sqlNode = node.kind == static_cast<int32_t>(QueryKind::Sql);
    Put(set.m_QueryName, node.name);
    Put(set.m_Where, node.where);
    Put(set.m_OrderBy, node.orderBy);
    Put(set.m_Predicate, node.predicate);
    Put(set.m_JoinOn, node.joinOn);
    Put(set.m_Comments, node.comments);
    set.m_Combination = node.combination;
    Put(set.m_From, FromText(node.kind));
    Put(set.m_SQL, sqlNode ? node.sql : std::string());
    Put(set.m_ParentName, node.combination >= 1 ? parentName : std::string());
    Put(set.m_Columns, WriteColumnCodes(node.columns));
    if (!set.Update()) {
        Fail(catalogue, set.ErrorText());
        return SaveOutcome::Failed;
    }
    if (!listShowsSavedQueries) catalogue.Prompt().Message("Query saved in database");
    return SaveOutcome::Saved;
}

CQueryTree::Node LoadQuery(CCatalogue& catalogue, int32_t id, CQueryTree& tree,
                           CQueryTree::Node under, bool select, int depth) {
    if (depth >= kMaxLoadDepth || !catalogue.IsOpen()) return nullptr;
    CQuerySet set(&catalogue.Database());
    if (!set.Open("SELECT ALL * FROM [Queries]")) {
        Fail(catalogue, set.ErrorText());
        return nullptr;
    }
    if (!set.FindFirst("[ID] = " + std::to_string(id))) return nullptr;
    const std::optional<int32_t> kind = KindFromText(set.m_From.Value());
    if (!kind) return nullptr;

    QueryFields fields;
    fields.kind = *kind;
    fields.name = set.m_QueryName.Value();
    fields.where = set.m_Where.Value();
    fields.orderBy = set.m_OrderBy.Value();
    fields.predicate = set.m_Predicate.Value();
    fields.joinOn = set.m_JoinOn.Value();
    fields.combination = set.m_Combination.Value();
    fields.comments = set.m_Comments.Value();
    if (*kind == static_cast<int32_t>(QueryKind::Sql)) fields.sql = set.m_SQL.Value();
    fields.columns = ReadColumnCodes(set.m_Columns.Value());
    const std::string parentName = set.m_ParentName.Value();

    CQueryTree::Node parent = under;
    if (IsTableQuery(*kind) && !parentName.empty() && fields.combination != 0) {
        CQueryTree::Node found = nullptr;
        for (CQueryTree::Node candidate : tree.QueryNodes(parentName)) {
            const QueryFields c = tree.Fields(candidate);
            if (SuitableParent(*kind, fields.combination, c.kind, c.combination)) {
                found = candidate;
                break;
            }
        }
        if (!found) {
            CQuerySet parentRow(&catalogue.Database());
            if (parentRow.Open("SELECT ALL * FROM [Queries] WHERE [Query name] = " +
                               JetTextLiteral(parentName)) &&
                !parentRow.IsEOF())
                found = LoadQuery(catalogue, parentRow.m_ID.Value(), tree, under, false, depth + 1);
        }
        if (found) parent = found;
    }
    return tree.Insert(parent, fields, select);
}

int DeleteSavedQueries(CCatalogue& catalogue, const std::vector<int32_t>& ids) {
    if (!catalogue.IsOpen() || ids.empty()) return 0;
    if (catalogue.Prompt().Ask(CountText("Remove %d queries from database?", ids.size()),
                               PromptButtons::YesNo) != PromptAnswer::Yes)
        return 0;
    int removed = 0;
    CQuerySet set(&catalogue.Database());
    if (!set.Open("SELECT ALL * FROM [Queries]")) return Fail(catalogue, set.ErrorText()), 0;
    for (int32_t id : ids) {
        if (!set.FindFirst("[ID] = " + std::to_string(id))) continue;
        if (!set.Delete()) return Fail(catalogue, set.ErrorText()), removed;
        ++removed;
    }
    return removed;
}

bool NewParameter(CCatalogue& catalogue, const std::string& name, int32_t type,
                  const std::string& value, const std::string& comments) {
    if (!catalogue.IsOpen()) return false;
    CParamSet set(&catalogue.Database());
    if (!set.Open("SELECT ALL * FROM [Params] WHERE [Name] = " + JetTextLiteral(name)))
        return Fail(catalogue, set.ErrorText());
    if (!set.IsEOF()) {
        catalogue.Prompt().Message("A parameter with this name already exists.",
                                   PromptIcon::Warning);
        return false;
    }
    const int32_t stored = ParamTypeClass(type);
    set.AddNew();
    Put(set.m_Name, name);
    set.m_Type = stored ? stored : static_cast<int32_t>(kParamText);
    Put(set.m_Value, value);
    Put(set.m_Comments, comments);
    if (!set.Update()) return Fail(catalogue, set.ErrorText());
    return true;
}

int DeleteParameters(CCatalogue& catalogue, const std::vector<int32_t>& ids) {
    if (!catalogue.IsOpen() || ids.empty()) return 0;
    if (catalogue.Prompt().Ask(CountText("Remove %d parameters from database?", ids.size()),
                               PromptButtons::YesNo) != PromptAnswer::Yes)
        return 0;
    int removed = 0;
    CParamSet set(&catalogue.Database());
    if (!set.Open("SELECT ALL * FROM [Params]")) return Fail(catalogue, set.ErrorText()), 0;
    for (int32_t id : ids) {
        if (!set.FindFirst("[ID] = " + std::to_string(id))) continue;
        if (!set.Delete()) return Fail(catalogue, set.ErrorText()), removed;
        ++removed;
    }
    return removed;
}

bool SetParameterType(CCatalogue& catalogue, int32_t id, const std::string& text) {
    const std::optional<int32_t> type = TypeFromText(text);
    if (!type) {
        catalogue.Prompt().Message("Illegal type. Must be TEXT, NUM or BOOL.", PromptIcon::Warning);
        return false;
    }
    if (!catalogue.IsOpen()) return false;
    CParamSet set(&catalogue.Database());
    if (!set.Open("SELECT ALL * FROM [Params]")) return Fail(catalogue, set.ErrorText());
    if (!set.FindFirst("[ID] = " + std::to_string(id))) return false;
    set.Edit();
    set.m_Type = *type;
    if (!set.Update()) return Fail(catalogue, set.ErrorText());
    return true;
}

}  // namespace tavik
