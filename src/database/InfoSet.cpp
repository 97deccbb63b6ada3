#include "database/InfoSet.h"

namespace tavik {

CInfoSet::CInfoSet(CDatabase* db) : CBoundSet(db) {
    BindColumns(CatalogueTable::Info, {&m_ID, &m_Name, &m_Value});
}

}  // namespace tavik
