#include "database/BoundSet.h"

namespace tavik {

void CBoundSet::OnRowChanged() {
    for (auto& b : m_bindings) {
        CDbValue v = GetFieldValue(b.column);
        std::visit(
            [&](auto* member) {
                using Field = std::remove_pointer_t<decltype(member)>;
                if (v.IsNull()) {
                    member->SetNull();
                } else if constexpr (std::is_same_v<Field, TField<std::string>>) {
                    *member = v.AsText();
                } else if constexpr (std::is_same_v<Field, TField<int32_t>>) {
                    *member = static_cast<int32_t>(v.AsInteger());
                } else {
                    *member = v.AsBool();
                }
            },
            b.member);
    }
}

// Only members that differ from the row are written, so an update never touches columns the
// caller left alone (and a new row keeps the engine's counter).
void CBoundSet::OnBeforeUpdate() {
    for (auto& b : m_bindings) {
        CDbValue now = std::visit(
            [](auto* member) -> CDbValue {
                using Field = std::remove_pointer_t<decltype(member)>;
                if (member->IsNull()) return CDbValue::Null();
                if constexpr (std::is_same_v<Field, TField<std::string>>) {
                    return CDbValue::Text(member->Value());
                } else if constexpr (std::is_same_v<Field, TField<int32_t>>) {
                    return CDbValue::Integer(member->Value());
                } else {
                    return CDbValue::Bool(member->Value());
                }
            },
            b.member);
        CDbValue before = GetFieldValue(b.column);
        bool same =
            before.IsNull() == now.IsNull() && (now.IsNull() || before.AsText() == now.AsText());
        if (!same) SetFieldValue(b.column, now);
    }
}

}  // namespace tavik
