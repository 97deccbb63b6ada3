// The record class of table Queries (saved queries).
#pragma once

#include "database/BoundSet.h"

namespace tavik {

class CQuerySet : public CBoundSet {
public:
    explicit CQuerySet(CDatabase* db = nullptr);

    TField<int32_t> m_ID;
    TField<std::string> m_QueryName;
    TField<std::string> m_From;
    TField<std::string> m_Where;
    TField<std::string> m_OrderBy;
    TField<std::string> m_Predicate;
    TField<std::string> m_SQL;
    TField<std::string> m_JoinOn;
    TField<int32_t> m_Combination;
    TField<std::string> m_ParentName;
    TField<std::string> m_Columns;
    TField<std::string> m_Comments;

protected:
    std::string DefaultSql() const override { return "[Queries]"; }
};

}  // namespace tavik
