// A record set whose columns are bound by name to members of a record class: each move reads
// the current row into the members, each update writes the members back. A member is a TField:
// a value plus a null mark (assigning a value clears the mark).
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "database/CatalogueColumns.h"
#include "database/RecordSet.h"

namespace tavik {

template <class T>
class TField {
public:
    TField() = default;
    TField& operator=(T value) {
        m_value = std::move(value);
        m_null = false;
        return *this;
    }
    operator const T&() const { return m_value; }
    const T& Value() const { return m_value; }
    bool IsNull() const { return m_null; }
    void SetNull() {
        m_value = T{};
        m_null = true;
    }

private:
    T m_value{};
    bool m_null = true;
};

class CBoundSet : public CRecordSet {
public:
    using Member = std::variant<TField<std::string>*, TField<int32_t>*, TField<bool>*>;

    explicit CBoundSet(CDatabase* db) : CRecordSet(db) {}

    // The members as a row of the table (values in table order), and back: a record class
    // also serves as a typed row for rows written without a set.
    std::vector<CDbValue> Row() const;
    void SetRow(const std::vector<CDbValue>& row);

protected:
    // Binds the members to the table's columns, one member per column in table order.
    void BindColumns(CatalogueTable table, std::initializer_list<Member> members);

    void OnRowChanged() override;
    void OnBeforeUpdate() override;

private:
    struct Binding {
        const char* column;
        Member member;
    };
    std::vector<Binding> m_bindings;
};

}  // namespace tavik
