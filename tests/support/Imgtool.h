// MAME's imgtool as an independent reader and writer of TI-99/4A disk images in tests. Its image
// formats are "v9t9" (sector dumps), "pc99fm" and "pc99mfm" (PC99 track images). It moves files
// in and out as TIFILES files, and reads and writes their record count (header bytes 14-15)
// high byte first, where the FDR and every other tool keep it low byte first.
#pragma once

#include <string>
#include <vector>

namespace tavik::test {

struct ImgtoolEntry {
    std::string name;
    long bytes = 0;          // (data sectors + 1) x 256: the FDR is counted
    std::string attributes;  // "D/F 80", "I/V 254", "PGM", with " R/O" for a protected file
};

class CImgtool {
public:
    // The program: $TAVIK_IMGTOOL, else /usr/bin/imgtool.
    static std::string Program();
    static bool Available();

    // Each returns true when imgtool succeeded; Output() then holds what it printed.
    bool Create(const std::string& format, const std::string& image, int sides, bool dd);
    bool Put(const std::string& format, const std::string& image, const std::string& pcFile,
             const std::string& tiName);
    // Every file of the image into the folder, as a TIFILES file named after the TI name.
    bool GetAll(const std::string& format, const std::string& image, const std::string& folder);
    bool Dir(const std::string& format, const std::string& image,
             std::vector<ImgtoolEntry>& entries);
    const std::string& Output() const { return m_output; }

private:
    bool Run(const std::vector<std::string>& arguments, const std::string& folder = "");
    std::string m_output;
};

// The attribute text imgtool shows for a file of this status and record length.
std::string ImgtoolAttributes(int status, int recordLength);

}  // namespace tavik::test

#define TAVIK_REQUIRE_IMGTOOL() \
    if (!::tavik::test::CImgtool::Available()) GTEST_SKIP() << "imgtool absent"
