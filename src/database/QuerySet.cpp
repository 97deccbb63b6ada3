#include "database/QuerySet.h"

namespace tavik {

CQuerySet::CQuerySet(CDatabase* db) : CBoundSet(db) {
    Bind("ID", m_ID);
    Bind("Query name", m_QueryName);
    Bind("From", m_From);
    Bind("Where", m_Where);
    Bind("Order by", m_OrderBy);
    Bind("Predicate", m_Predicate);
    Bind("SQL", m_SQL);
    Bind("Join on", m_JoinOn);
    Bind("Combination", m_Combination);
    Bind("Parent name", m_ParentName);
    Bind("Columns", m_Columns);
    Bind("Comments", m_Comments);
}

}  // namespace tavik
