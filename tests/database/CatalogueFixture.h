// A fresh catalogue in a temporary folder, with helpers to put rows into it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/Catalogue.h"
#include "database/RecordSet.h"
#include "support/ScriptedPrompt.h"
#include "support/TestSupport.h"

namespace tavik::test {

class CatalogueFixture : public ::testing::Test {
protected:
    void SetUp() override {
        path = TempFolder() + "/Floppies.db";
        ASSERT_TRUE(catalogue.Create(path)) << (prompt.messages.empty() ? "" : prompt.messages[0]);
    }

    int AddDisk(const std::string& name, int size, bool ds, const std::string& crcs = "00000000") {
        CDiskSet& d = catalogue.DiskSet();
        EXPECT_TRUE(d.AddNew());
        d.m_DiskName = name;
        d.m_Size = size;
        d.m_DS = ds;
        d.m_CRCS = crcs;
        EXPECT_TRUE(d.Update()) << d.ErrorText();
        return d.m_ID;
    }

    int AddFile(const std::string& name, const std::string& type, int size,
                const std::string& crc = "00000000") {
        CFileSet& f = catalogue.FileSet();
        if (!f.IsOpen()) {
            EXPECT_TRUE(f.Open());
        }
        EXPECT_TRUE(f.AddNew());
        f.m_FileName = name;
        f.m_Type = type;
        f.m_Size = size;
        f.m_CRC = crc;
        EXPECT_TRUE(f.Update()) << f.ErrorText();
        return f.m_ID;
    }

    void Link(int disk, int file) {
        CRecordSet link(&catalogue.Database());
        ASSERT_TRUE(link.Open("SELECT ALL * FROM [DiskFileMM]"));
        link.AddNew();
        link.SetFieldValue("DiskID", CDbValue::Integer(disk));
        link.SetFieldValue("FileID", CDbValue::Integer(file));
        ASSERT_TRUE(link.Update()) << link.ErrorText();
    }

    // The first column of every row of a query, as text.
    std::vector<std::string> Column(const std::string& sql, int column = 0) {
        std::vector<std::string> values;
        CRecordSet set(&catalogue.Database());
        if (!set.Open(sql)) {
            ADD_FAILURE() << sql << ": " << set.ErrorText();
            return values;
        }
        for (; !set.IsEOF(); set.MoveNext())
            values.push_back(set.GetFieldValue(column).AsText());
        return values;
    }

    long Count(const std::string& table) {
        CRecordSet set(&catalogue.Database());
        EXPECT_TRUE(set.Open("SELECT ALL * FROM [" + table + "]"));
        return set.GetRecordCount();
    }

    CScriptedPrompt prompt;
    CatalogueOptions options;
    CCatalogue catalogue{options, prompt};
    std::string path;
};

}  // namespace tavik::test
