// The record class of table Info (name/value settings kept in the catalogue itself).
#pragma once

#include "database/BoundSet.h"

namespace tavik {

class CInfoSet : public CBoundSet {
public:
    explicit CInfoSet(CDatabase* db = nullptr);

    TField<int32_t> m_ID;
    TField<std::string> m_Name;
    TField<std::string> m_Value;

protected:
    std::string DefaultSql() const override { return "[Info]"; }
};

}  // namespace tavik
