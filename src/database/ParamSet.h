// The record class of table Params (named query parameters).
#pragma once

#include "database/BoundSet.h"

namespace tavik {

class CParamSet : public CBoundSet {
public:
    explicit CParamSet(CDatabase* db = nullptr);

    TField<int32_t> m_ID;
    TField<std::string> m_Name;
    TField<int32_t> m_Type;
    TField<std::string> m_Value;
    TField<std::string> m_Comments;

protected:
    std::string DefaultSql() const override { return "[Params]"; }
};

}  // namespace tavik
