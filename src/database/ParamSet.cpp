#include "database/ParamSet.h"

namespace tavik {

CParamSet::CParamSet(CDatabase* db) : CBoundSet(db) {
    BindColumns(CatalogueTable::Params, {&m_ID, &m_Name, &m_Type, &m_Value, &m_Comments});
}

}  // namespace tavik
