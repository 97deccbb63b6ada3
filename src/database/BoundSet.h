// A record set whose columns are bound by name to members of a record class: each move reads
// the current row into the members, each update writes the members back. A member is a TField:
// a value plus a null mark (assigning a value clears the mark).
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

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
    explicit CBoundSet(CDatabase* db) : CRecordSet(db) {}

protected:
    void Bind(const char* column, TField<std::string>& member) {
        m_bindings.push_back({column, &member});
    }
    void Bind(const char* column, TField<int32_t>& member) {
        m_bindings.push_back({column, &member});
    }
    void Bind(const char* column, TField<bool>& member) { m_bindings.push_back({column, &member}); }

    void OnRowChanged() override;
    void OnBeforeUpdate() override;

private:
    struct Binding {
        const char* column;
        std::variant<TField<std::string>*, TField<int32_t>*, TField<bool>*> member;
    };
    std::vector<Binding> m_bindings;
};

}  // namespace tavik
