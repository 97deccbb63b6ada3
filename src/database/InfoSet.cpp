#include "database/InfoSet.h"

namespace tavik {

CInfoSet::CInfoSet(CDatabase* db) : CBoundSet(db) {
    Bind("ID", m_ID);
    Bind("Name", m_Name);
    Bind("Value", m_Value);
}

}  // namespace tavik
