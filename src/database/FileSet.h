// The record class of table Files: one member per column, in column order.
#pragma once

#include "database/BoundSet.h"

namespace tavik {

class CFileSet : public CBoundSet {
public:
    explicit CFileSet(CDatabase* db = nullptr);

    TField<std::string> m_FileName;
    TField<int32_t> m_ID;
    TField<std::string> m_Type;
    TField<int32_t> m_Size;
    TField<int32_t> m_Records;
    TField<int32_t> m_Last;
    TField<bool> m_Protected;
    TField<std::string> m_CreationDate;
    TField<std::string> m_CreationTime;
    TField<std::string> m_ModificationDate;
    TField<std::string> m_ModificationTime;
    TField<std::string> m_ArchivedDate;
    TField<std::string> m_ArchivedTime;
    TField<std::string> m_CRC;
    TField<std::string> m_Info1;
    TField<std::string> m_Info2;
    TField<std::string> m_Info3;

protected:
    std::string DefaultSql() const override { return "SELECT ALL * FROM [Files]"; }
};

}  // namespace tavik
