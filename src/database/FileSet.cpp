#include "database/FileSet.h"

namespace tavik {

CFileSet::CFileSet(CDatabase* db) : CBoundSet(db) {
    Bind("File name", m_FileName);
    Bind("ID", m_ID);
    Bind("Type", m_Type);
    Bind("Size", m_Size);
    Bind("Records", m_Records);
    Bind("Last", m_Last);
    Bind("Protected", m_Protected);
    Bind("Creation date", m_CreationDate);
    Bind("Creation time", m_CreationTime);
    Bind("Modification date", m_ModificationDate);
    Bind("Modification time", m_ModificationTime);
    Bind("Archived date", m_ArchivedDate);
    Bind("Archived time", m_ArchivedTime);
    Bind("CRC", m_CRC);
    Bind("Info1", m_Info1);
    Bind("Info2", m_Info2);
    Bind("Info3", m_Info3);
}

}  // namespace tavik
