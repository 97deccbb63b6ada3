#include "database/QuerySet.h"

namespace tavik {

CQuerySet::CQuerySet(CDatabase* db) : CBoundSet(db) {
    BindColumns(CatalogueTable::Queries,
                {&m_ID, &m_QueryName, &m_From, &m_Where, &m_OrderBy, &m_Predicate, &m_SQL,
                 &m_JoinOn, &m_Combination, &m_ParentName, &m_Columns, &m_Comments});
}

}  // namespace tavik
