#include "database/DiskSet.h"

namespace tavik {

CDiskSet::CDiskSet(CDatabase* db) : CBoundSet(db) {
    Bind("Disk name", m_DiskName);
    Bind("ID", m_ID);
    Bind("Size", m_Size);
    Bind("Free", m_Free);
    Bind("Files", m_Files);
    Bind("DS", m_DS);
    Bind("DD", m_DD);
    Bind("Protected", m_Protected);
    Bind("Creation date", m_CreationDate);
    Bind("Creation time", m_CreationTime);
    Bind("Modification date", m_ModificationDate);
    Bind("Modification time", m_ModificationTime);
    Bind("Archived date", m_ArchivedDate);
    Bind("Archived time", m_ArchivedTime);
    Bind("CRC-S", m_CRCS);
    Bind("CRC-F", m_CRCF);
    Bind("Drive type", m_DriveType);
    Bind("Drive", m_Drive);
    Bind("Info1", m_Info1);
    Bind("Info2", m_Info2);
    Bind("Info3", m_Info3);
}

}  // namespace tavik
