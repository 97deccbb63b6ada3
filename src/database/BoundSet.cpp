#include "database/BoundSet.h"

#include <cstdlib>

namespace tavik {

namespace {

void Assign(const CBoundSet::Member& member, const CDbValue& v) {
    std::visit(
        [&](auto* field) {
            using Field = std::remove_pointer_t<decltype(field)>;
            if (v.IsNull()) {
                field->SetNull();
            } else if constexpr (std::is_same_v<Field, TField<std::string>>) {
                *field = v.AsText();
            } else if constexpr (std::is_same_v<Field, TField<int32_t>>) {
                *field = static_cast<int32_t>(v.AsInteger());
            } else {
                *field = v.AsBool();
            }
        },
        member);
}

CDbValue ValueOf(const CBoundSet::Member& member) {
    return std::visit(
        [](auto* field) -> CDbValue {
            using Field = std::remove_pointer_t<decltype(field)>;
            if (field->IsNull()) return CDbValue::Null();
            if constexpr (std::is_same_v<Field, TField<std::string>>) {
                return CDbValue::Text(field->Value());
            } else if constexpr (std::is_same_v<Field, TField<int32_t>>) {
                return CDbValue::Integer(field->Value());
            } else {
                return CDbValue::Bool(field->Value());
            }
        },
        member);
}

}  // namespace

void CBoundSet::BindColumns(CatalogueTable table, std::initializer_list<Member> members) {
    const auto columns = CatalogueColumns(table);
    if (columns.size() != members.size()) std::abort();  // a record class out of step
    size_t i = 0;
    for (const Member& member : members)
        m_bindings.push_back({columns[i++].name, member});
}

std::vector<CDbValue> CBoundSet::Row() const {
    std::vector<CDbValue> row;
    row.reserve(m_bindings.size());
    for (const auto& b : m_bindings)
        row.push_back(ValueOf(b.member));
    return row;
}

void CBoundSet::SetRow(const std::vector<CDbValue>& row) {
    for (size_t i = 0; i < m_bindings.size(); ++i)
        Assign(m_bindings[i].member, i < row.size() ? row[i] : CDbValue::Null());
}

void CBoundSet::OnRowChanged() {
    for (auto& b : m_bindings)
        Assign(b.member, GetFieldValue(b.column));
}

// Only members that differ from the row are written, so an update never touches columns the
// caller left alone (and a new row keeps the engine's counter).
void CBoundSet::OnBeforeUpdate() {
    for (auto& b : m_bindings) {
        const CDbValue now = ValueOf(b.member);
        const CDbValue before = GetFieldValue(b.column);
        const bool same =
            before.IsNull() == now.IsNull() && (now.IsNull() || before.AsText() == now.AsText());
        if (!same) SetFieldValue(b.column, now);
    }
}

}  // namespace tavik
