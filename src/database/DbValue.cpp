#include "database/DbValue.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tavik {

CDbValue CDbValue::Bool(bool v) {
    CDbValue r;
    r.m_kind = Kind::Bool;
    r.m_int = v ? 1 : 0;
    return r;
}

CDbValue CDbValue::Integer(int64_t v) {
    CDbValue r;
    r.m_kind = Kind::Integer;
    r.m_int = v;
    return r;
}

CDbValue CDbValue::Double(double v) {
    CDbValue r;
    r.m_kind = Kind::Double;
    r.m_double = v;
    return r;
}

CDbValue CDbValue::Text(std::string v) {
    CDbValue r;
    r.m_kind = Kind::Text;
    r.m_text = std::move(v);
    return r;
}

CDbValue CDbValue::Blob(std::string bytes) {
    CDbValue r;
    r.m_kind = Kind::Blob;
    r.m_text = std::move(bytes);
    return r;
}

bool CDbValue::AsBool() const {
    switch (m_kind) {
        case Kind::Null:
            return false;
        case Kind::Bool:
        case Kind::Integer:
            return m_int != 0;
        case Kind::Double:
            return m_double != 0;
        case Kind::Text:
        case Kind::Blob:
            return AsInteger() != 0;
    }
    return false;
}

int64_t CDbValue::AsInteger() const {
    switch (m_kind) {
        case Kind::Null:
            return 0;
        case Kind::Bool:
        case Kind::Integer:
            return m_int;
        case Kind::Double:
            return std::isfinite(m_double) && std::fabs(m_double) < 9.2e18
                       ? static_cast<int64_t>(m_double)
                       : 0;
        case Kind::Text:
        case Kind::Blob:
            return std::strtoll(m_text.c_str(), nullptr, 10);
    }
    return 0;
}

double CDbValue::AsDouble() const {
    if (m_kind == Kind::Double) return m_double;
    if (m_kind == Kind::Text) return std::strtod(m_text.c_str(), nullptr);
    return static_cast<double>(AsInteger());
}

std::string CDbValue::AsText() const {
    switch (m_kind) {
        case Kind::Null:
            return {};
        case Kind::Bool:
        case Kind::Integer:
            return std::to_string(m_int);
        case Kind::Double: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.15g", m_double);
            return buf;
        }
        case Kind::Text:
        case Kind::Blob:
            return m_text;
    }
    return {};
}

bool CDbValue::operator==(const CDbValue& other) const {
    if (m_kind != other.m_kind) return false;
    switch (m_kind) {
        case Kind::Null:
            return true;
        case Kind::Bool:
        case Kind::Integer:
            return m_int == other.m_int;
        case Kind::Double:
            return m_double == other.m_double;
        case Kind::Text:
        case Kind::Blob:
            return m_text == other.m_text;
    }
    return false;
}

}  // namespace tavik
