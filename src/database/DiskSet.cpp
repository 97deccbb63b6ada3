#include "database/DiskSet.h"

namespace tavik {

CDiskSet::CDiskSet(CDatabase* db) : CBoundSet(db) {
    BindColumns(CatalogueTable::Disks, {&m_DiskName,
                                        &m_ID,
                                        &m_Size,
                                        &m_Free,
                                        &m_Files,
                                        &m_DS,
                                        &m_DD,
                                        &m_Protected,
                                        &m_CreationDate,
                                        &m_CreationTime,
                                        &m_ModificationDate,
                                        &m_ModificationTime,
                                        &m_ArchivedDate,
                                        &m_ArchivedTime,
                                        &m_CRCS,
                                        &m_CRCF,
                                        &m_DriveType,
                                        &m_Drive,
                                        &m_Info1,
                                        &m_Info2,
                                        &m_Info3});
}

}  // namespace tavik
