// The record class of table Disks: one member per column, in column order.
#pragma once

#include "database/BoundSet.h"

namespace tavik {

class CDiskSet : public CBoundSet {
public:
    explicit CDiskSet(CDatabase* db = nullptr);

    TField<std::string> m_DiskName;
    TField<int32_t> m_ID;
    TField<int32_t> m_Size;
    TField<int32_t> m_Free;
    TField<int32_t> m_Files;
    TField<bool> m_DS;
    TField<bool> m_DD;
    TField<bool> m_Protected;
    TField<std::string> m_CreationDate;
    TField<std::string> m_CreationTime;
    TField<std::string> m_ModificationDate;
    TField<std::string> m_ModificationTime;
    TField<std::string> m_ArchivedDate;
    TField<std::string> m_ArchivedTime;
    TField<std::string> m_CRCS;
    TField<std::string> m_CRCF;
    TField<std::string> m_DriveType;
    TField<std::string> m_Drive;
    TField<std::string> m_Info1;
    TField<std::string> m_Info2;
    TField<std::string> m_Info3;

protected:
    std::string DefaultSql() const override { return "SELECT ALL * FROM [Disks]"; }
};

}  // namespace tavik
