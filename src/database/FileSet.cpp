#include "database/FileSet.h"

namespace tavik {

CFileSet::CFileSet(CDatabase* db) : CBoundSet(db) {
    BindColumns(CatalogueTable::Files,
                {&m_FileName, &m_ID, &m_Type, &m_Size, &m_Records, &m_Last, &m_Protected,
                 &m_CreationDate, &m_CreationTime, &m_ModificationDate, &m_ModificationTime,
                 &m_ArchivedDate, &m_ArchivedTime, &m_CRC, &m_Info1, &m_Info2, &m_Info3});
}

}  // namespace tavik
