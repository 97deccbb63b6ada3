#include "disk/ImageConversion.h"

#include "disk/DrivePropertiesForm.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "DriveFixture.h"
#include "base/AtomicFile.h"
#include "support/ScriptedPrompt.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;

std::vector<uint8_t> AllSectors(CVirtualDrive& drive, int total) {
    std::vector<uint8_t> bytes(static_cast<size_t>(total) * 256);
    for (int n = 0; n < total; ++n)
        if (!drive.ReadSector(n, bytes.data() + 256 * n)) return {};
    return bytes;
}

std::string WriteImage(const std::vector<uint8_t>& bytes, const std::string& name) {
    const std::string path = test::TempFolder() + "/" + name;
    EXPECT_TRUE(WriteWholeFile(path, bytes));
    return path;
}

CImageBuilder SampleDisk(int total) {
    CImageBuilder builder(total, total > 360, total > 720);
    builder.SetName("SAMPLE");
    builder.AddFile(BuiltFile::Program("PROG", test::Pattern(5000, 3)));
    builder.AddFile(BuiltFile::Variable("TEXT", false, 80, {"hello", "world"}));
    return builder;
}

TEST(ConvertImage, RoundTripsThroughEveryFormatKeepingTheSectors) {
    const std::vector<uint8_t> original = SampleDisk(360).Image();
    const std::string path = WriteImage(original, "disk.dsk");
    CVirtualDrive drive;
    ASSERT_EQ(drive.OpenImage(path), DriveKind::DoadImage);
    struct Step {
        bool pc99, ds, dd;
        int kind;
        int64_t length;  // of the file; of the volume for HFE images
        bool hfe = false;
    };
    const Step steps[] = {
        {true, false, false, DriveKind::Pc99Fm, 130120},
        {false, true, false, DriveKind::HfeImage, 184320, true},
        {true, true, true, DriveKind::Pc99Mfm, 549760},
        {false, false, true, DriveKind::HfeImage, 184320, true},
        {false, true, false, DriveKind::DoadImage, 184320},
        {false, false, false, DriveKind::DoadImage, 92160},
    };
    for (const Step& s : steps) {
        ASSERT_EQ(drive.ConvertImage(s.pc99, s.ds, s.dd, s.hfe), 1) << drive.ErrorText();
        EXPECT_EQ(drive.Kind(), s.kind);
        EXPECT_EQ(drive.Size(), s.length);
        CVirtualDrive reopened;
        ASSERT_EQ(reopened.OpenImage(path), s.kind);
        EXPECT_EQ(AllSectors(reopened, 360), original) << s.kind;
        EXPECT_EQ(AllSectors(drive, 360), original) << s.kind;
    }
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, original);
}

TEST(ConvertImage, TheOriginalSurvivesEveryFailure) {
    const std::vector<uint8_t> original = SampleDisk(720).Image();
    const std::string path = WriteImage(original, "disk.dsk");
    CVirtualDrive drive;
    ASSERT_EQ(drive.OpenImage(path), DriveKind::DoadImage);
    auto unchanged = [&] {
        std::vector<uint8_t> bytes;
        return ReadWholeFile(path, bytes) && bytes == original;
    };

    // 720 sectors do not fit a single-sided single-density image.
    EXPECT_EQ(drive.ConvertImage(true, false, false), 0);
    EXPECT_EQ(drive.ErrorText(), "Past end of drive");
    EXPECT_TRUE(unchanged());

    // A crash just before the new file replaces the old one.
    FailNextReplacementForTesting();
    EXPECT_EQ(drive.ConvertImage(true, true, false), 0);
    EXPECT_TRUE(unchanged());
    EXPECT_EQ(drive.Kind(), DriveKind::DoadImage);
    EXPECT_EQ(AllSectors(drive, 720), original);
    EXPECT_EQ(std::distance(
                  std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()),
                  std::filesystem::directory_iterator()),
              1);

    // Stopped by the user during the copy.
    test::CScriptedPrompt prompt;
    prompt.held = {PolledKey::F4};
    prompt.answers = {PromptAnswer::No, PromptAnswer::Yes};
    drive.SetPrompt(&prompt);
    EXPECT_EQ(drive.ConvertImage(true, true, true), 0);
    EXPECT_EQ(drive.ErrorText(), "User aborted operation");
    EXPECT_TRUE(unchanged());
    drive.SetPrompt(nullptr);
}

TEST(ConvertImage, ANewSizeAtStartZeroRewritesTheFileSafely) {
    const std::vector<uint8_t> original = SampleDisk(720).Image();
    const std::string path = WriteImage(original, "disk.dsk");
    CVirtualDrive drive;
    ASSERT_EQ(drive.OpenImage(path), DriveKind::DoadImage);
    DriveProperties props;
    ASSERT_TRUE(drive.GetDriveProperties(props));
    props.size = 409600;
    FailNextReplacementForTesting();
    EXPECT_EQ(drive.SetDriveProperties(props), 0);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, original);
    ASSERT_EQ(drive.SetDriveProperties(props), 1);
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    ASSERT_EQ(bytes.size(), 409600u);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), bytes.begin()));
    EXPECT_EQ(drive.GetDiskName(), "SAMPLE    ");
}

TEST(ConvertImage, AVolumeInsideALargerFileIsNotConverted) {
    std::vector<uint8_t> card(3 * 409600, 0x11);
    const std::vector<uint8_t> volume = SampleDisk(1440).Image();
    std::copy(volume.begin(), volume.end(), card.begin() + 409600);
    const std::string path = WriteImage(card, "card.img");
    CVirtualDrive drive;
    ASSERT_EQ(drive.MountFile(CDiskFile::Open(path, OpenMode::ReadWrite), 409600, 409600, -1),
              DriveKind::DoadImage);
    EXPECT_EQ(drive.ConvertImage(true, true, true), 0);
    EXPECT_EQ(drive.ErrorText(), "Unrecognized format specifications");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, card);
}

TEST(DrivePropertiesForm, PresetsAndOk) {
    const std::string path = WriteImage(SampleDisk(720).Image(), "disk.dsk");
    CVirtualDrive drive;
    ASSERT_EQ(drive.OpenImage(path), DriveKind::DoadImage);
    DrivePropertiesForm form = DriveFormFor(drive);
    EXPECT_EQ(form.format, FormatDoad);
    EXPECT_TRUE(form.doubleSided);
    EXPECT_FALSE(form.doubleDensity);
    EXPECT_EQ(form.size, "184320");
    EXPECT_EQ(form.maxSize, "None");

    // Same format: the typed numbers apply ("None" reads as no maximum).
    form.size = "0x5A000";
    ASSERT_EQ(ApplyDrivePropertiesForm(drive, form), 1) << drive.ErrorText();
    EXPECT_EQ(drive.Size(), 0x5A000);
    EXPECT_EQ(std::filesystem::file_size(path), 0x5A000u);
    EXPECT_EQ(drive.MaxSize(), 0);

    // The CF entry presets a 1600-sector sector dump.
    ChooseCfFormat(form);
    EXPECT_EQ(form.format, FormatDoad);
    EXPECT_EQ(form.size, "0x64000");
    EXPECT_TRUE(form.doubleSided && form.doubleDensity);

    // Another format converts, keeping the disk.
    form = DriveFormFor(drive);
    form.format = FormatPc99;
    form.doubleSided = true;
    form.doubleDensity = false;
    ASSERT_EQ(ApplyDrivePropertiesForm(drive, form), 1) << drive.ErrorText();
    EXPECT_EQ(drive.Kind(), DriveKind::Pc99Fm);
    EXPECT_EQ(DriveFormFor(drive).format, FormatPc99);
    EXPECT_EQ(drive.GetDiskName(), "SAMPLE    ");
}

TEST(NewImage, SuggestedNameAndFormatFromTheSource) {
    struct Row {
        const char* diskName;
        const char* file;
    };
    const Row rows[] = {
        {"GAMES     ", "GAMES.DSK"}, {"A/B       ", "A.DSK"},
        {"X:Y       ", "X.DSK"},     {"NAME*?    ", "NAME.DSK"},
        {"TEN CHARS!", "TEN.DSK"},   {"<LT>      ", ""},
        {"          ", ""},          {"PIPE|NAME ", "PIPE.DSK"},
        {"BACK\\SL  ", "BACK.DSK"},  {"DOT.NAME  ", "DOT.NAME.DSK"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(SuggestedImageName(r.diskName), r.file) << r.diskName;
    EXPECT_EQ(SuggestedImageName(std::string("NUL\0X      ", 10)), "NUL.DSK");

    test::MemDrive source(SampleDisk(720));
    const NewImageDefaults defaults = SuggestNewImage(source.drive);
    EXPECT_EQ(defaults.fileName, "SAMPLE.DSK");
    EXPECT_TRUE(defaults.doubleSided);
    EXPECT_FALSE(defaults.doubleDensity);
}

TEST(NewImage, CreatesAppliesTypedNumbersAndCopiesTheSource) {
    const std::string folder = test::TempFolder();
    {
        CVirtualDrive drive;
        NewImageChoice choice{folder + "/cf.dsk", false, true, true, "junk", "0x64000", "0"};
        ASSERT_EQ(CreateNewImage(drive, choice, nullptr), 1) << drive.ErrorText();
        EXPECT_EQ(drive.Size(), 409600);
        EXPECT_EQ(std::filesystem::file_size(folder + "/cf.dsk"), 409600u);
    }
    {
        test::MemDrive source(SampleDisk(720));
        CVirtualDrive drive;
        NewImageChoice choice{folder + "/copy.pc99", true, true, false, "", "", ""};
        ASSERT_EQ(CreateNewImage(drive, choice, &source.drive), 1) << drive.ErrorText();
        EXPECT_EQ(drive.Kind(), DriveKind::Pc99Fm);
        EXPECT_EQ(drive.GetDiskName(), "SAMPLE    ");
        EXPECT_EQ(AllSectors(drive, 720), source.Bytes());
    }
    {
        test::MemDrive source(SampleDisk(1440));
        CVirtualDrive drive;
        NewImageChoice choice{folder + "/small.dsk", false, false, false, "", "", ""};
        EXPECT_EQ(CreateNewImage(drive, choice, &source.drive), 0);
        EXPECT_EQ(drive.ErrorText(), "Past end of drive");
    }
    CVirtualDrive drive;
    NewImageChoice nowhere{folder + "/missing/x.dsk", false, false, false, "", "", ""};
    EXPECT_EQ(CreateNewImage(drive, nowhere, nullptr), 0);
    EXPECT_EQ(drive.ErrorText(),
              "Can't open file on PC\n" + nowhere.path + ": No such file or directory");

    // A file that is there is replaced only when the user agrees, and never under a drive
    // that shows it.
    const std::string there = WriteImage(SampleDisk(360).Image(), "there.dsk");
    std::vector<uint8_t> before, after;
    ASSERT_TRUE(ReadWholeFile(there, before));
    test::CScriptedPrompt no;
    no.defaultAnswer = PromptAnswer::No;
    drive.SetPrompt(&no);
    const NewImageChoice replacing{there, false, false, false, "", "", ""};
    EXPECT_EQ(CreateNewImage(drive, replacing, nullptr), 0);
    EXPECT_EQ(drive.LastError(), DiskError::UserAborted);
    EXPECT_EQ(no.questions.size(), 1u);
    CVirtualDrive shown;
    ASSERT_TRUE(shown.OpenImage(there));
    drive.SetPrompt(nullptr);
    EXPECT_EQ(CreateNewImage(drive, replacing, nullptr), 0);
    EXPECT_EQ(drive.LastError(), DiskError::FileInUse);
    ASSERT_TRUE(ReadWholeFile(there, after));
    EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace tavik
