#include "database/ParamSet.h"

namespace tavik {

CParamSet::CParamSet(CDatabase* db) : CBoundSet(db) {
    Bind("ID", m_ID);
    Bind("Name", m_Name);
    Bind("Type", m_Type);
    Bind("Value", m_Value);
    Bind("Comments", m_Comments);
}

}  // namespace tavik
