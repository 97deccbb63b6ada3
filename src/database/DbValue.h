// Values and field descriptions as the catalogue's record sets hand them out. The type codes are
// the Jet engine's, so that code written against Jet field types (display rules, export) reads
// the same here.
#pragma once

#include <cstdint>
#include <string>

namespace tavik {

enum class DbType : int {
    Boolean = 1,
    Byte = 2,
    Short = 3,
    Long = 4,
    Currency = 5,
    Single = 6,
    Double = 7,
    Date = 8,
    Binary = 9,
    Text = 10,
    LongBinary = 11,
    Memo = 12,
};

struct DbFieldInfo {
    std::string name;
    DbType type = DbType::Text;
    int size = 0;  // characters for text, bytes for numbers
};

// A typed value or null. Text is code page 1252, like every text the core handles.
class CDbValue {
public:
    enum class Kind { Null, Bool, Integer, Double, Text, Blob };

    CDbValue() = default;
    static CDbValue Null() { return {}; }
    static CDbValue Bool(bool v);
    static CDbValue Integer(int64_t v);
    static CDbValue Double(double v);
    static CDbValue Text(std::string v);
    static CDbValue Blob(std::string bytes);

    Kind GetKind() const { return m_kind; }
    bool IsNull() const { return m_kind == Kind::Null; }
    // Conversions: a null gives 0, false or "".
    bool AsBool() const;
    int64_t AsInteger() const;
    double AsDouble() const;
    std::string AsText() const;

    bool operator==(const CDbValue& other) const;

private:
    Kind m_kind = Kind::Null;
    int64_t m_int = 0;
    double m_double = 0;
    std::string m_text;
};

}  // namespace tavik
