// CJetReader over mdbtools' libmdb: Jet 3 and Jet 4 files, read-only.
#pragma once

#include <memory>

#include "database/JetReader.h"

namespace tavik {

class CMdbReader : public CJetReader {
public:
    // Null with `error` set when the file cannot be opened as a Jet database.
    static std::unique_ptr<CMdbReader> Open(const std::string& path, std::string& error);
    ~CMdbReader() override;

    std::vector<std::string> Tables() override;
    bool ReadTable(const std::string& table, std::vector<std::string>& columns,
                   const std::function<bool(const Row&)>& row) override;
    std::string ErrorText() const override { return m_error; }

private:
    CMdbReader() = default;
    void* m_handle = nullptr;  // MdbHandle
    std::string m_path;
    std::string m_error;
};

}  // namespace tavik
