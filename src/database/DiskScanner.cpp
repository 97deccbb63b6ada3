#include "database/DiskScanner.h"

#include <cstdio>
#include <filesystem>

#include "base/Cp1252.h"
#include "base/Progress.h"
#include "database/Checksum.h"
#include "database/SqlText.h"
#include "disk/FileType.h"
#include "disk/Layout.h"
#include "disk/TiDateTime.h"
#include "disk/VirtualDrive.h"

namespace tavik {

namespace {

std::string Hex8(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

std::string Number(int value) {
    return std::to_string(value);
}

// Date order 5 is year first with four digits, so that texts sort as dates.
constexpr int kDateOrder = 5;
constexpr const char* kFilesStep = "Reading files";
constexpr const char* kAbortQuestion = "Abort scan?";

// A date and time pair, null both when the date word is zero.
void SetStampPair(TField<std::string>& dateField, TField<std::string>& timeField, uint16_t date,
                  uint16_t time) {
    if (date) {
        dateField = DateText(date, kDateOrder);
        timeField = TimeText(time, true);
    } else {
        dateField.SetNull();
        timeField.SetNull();
    }
}

enum class FileAction { Create, Reuse, Update };

// Image paths are recorded whole, so that a disk can be found again from any folder.
std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    const std::filesystem::path whole = std::filesystem::absolute(Cp1252ToUtf8(path), ec);
    return ec ? path : Utf8ToCp1252(whole.lexically_normal().string());
}

}  // namespace

const char* DuplicateHeading(DuplicateMode mode) {
    switch (mode) {
        case IdenticalSectors:
            return "Found disk(s) with identical (used) sectors";
        case IdenticalFiles:
            return "Found disk(s) with identical file contents";
        case SelectDiskToUpdate:
            return "Select disk to update";
        case IdenticalFile:
            return "Found file(s) with identical content";
        default:
            return "";
    }
}

bool DriveDescription(const CVirtualDrive& drive, std::string& driveType, std::string& where) {
    DriveProperties p;
    if (!drive.GetDriveProperties(p)) return false;
    char text[64];
    switch (p.kind) {
        case DriveKind::DoadImage:
            driveType = "DOAD";
            where = AbsolutePath(p.path);
            return true;
        case DriveKind::Pc99Fm:
        case DriveKind::Pc99Mfm:
            driveType = "PC99";
            where = AbsolutePath(p.path);
            return true;
        case DriveKind::HfeImage:
            driveType = "HFE";
            where = AbsolutePath(p.path);
            return true;
        case DriveKind::RemoteTi:
            driveType = "TI99";
            std::snprintf(text, sizeof text, "CRU >%04X DSK%c", p.remoteWords[0],
                          static_cast<char>('0' + p.remoteDrive));
            where = text;
            return true;
        case DriveKind::EmulatorDrive:
            driveType = "Zantu";
            switch (p.emulatorDevice) {
                case 1:
                    where = "Ramdisk, ";
                    break;
                case 2:
                    where = "Dravel card, ";
                    break;
                case 3:
                    where = "Varnel card, ";
                    break;
                default:
                    std::snprintf(text, sizeof text, "Device #%d, ", p.emulatorDevice);
                    where = text;
                    break;
            }
            if (p.emulatorDrive == 16) {
                where += "DKS@." + p.emulatorName;
            } else {
                std::snprintf(text, sizeof text, "DSK%c", static_cast<char>('0' + p.emulatorDrive));
                where += text;
            }
            return true;
        default:
            return false;
    }
}

struct CDiskScanner::Volume {
    Sector vib{};
    Sector index{};
    std::string driveType;
    std::string drive;
    uint32_t crcS = 0;
    uint32_t crcF = 0;
    std::vector<int> fdrs;  // the file index up to its first zero entry
    std::vector<uint32_t> fileCrcs;
};

CDiskScanner::CDiskScanner(CCatalogue& catalogue, CDuplicateResolver& resolver,
                           CScanReviewer* reviewer)
    : m_catalogue(catalogue),
      m_resolver(resolver),
      m_reviewer(reviewer),
      m_disks(catalogue.Database(), CatalogueTable::Disks),
      m_files(catalogue.Database(), CatalogueTable::Files),
      m_links(catalogue.Database(), CatalogueTable::Links) {}

bool CDiskScanner::Report(const std::string& text) {
    m_catalogue.Prompt().Message(text, PromptIcon::Error);
    return false;
}

bool CDiskScanner::EngineError() {
    return Report(m_catalogue.Database().ErrorText());
}

bool CDiskScanner::ReadVolume(CVirtualDrive& drive, Volume& v) {
    if (!DriveDescription(drive, v.driveType, v.drive)) {
        if (drive.LastError() == 0) drive.SetLastError(DiskError::NoDrive);
        return Report(drive.ErrorText());
    }
    if (!drive.ReadSector(0, v.vib.data()) || !drive.ReadSector(1, v.index.data()))
        return Report(drive.ErrorText());
    // The files the listing shows: an index entry that points outside the disk or at no FDR is
    // passed over, so one damaged entry does not hide the files after it.
    int position = 0;
    for (int fdr; (fdr = drive.NextFdr(position)) != 0;) {
        if (fdr < 0) return Report(drive.ErrorText());
        v.fdrs.push_back(fdr);
    }
    return true;
}

bool CDiskScanner::ComputeFileChecksums(CVirtualDrive& drive, Volume& v, CProgress& progress) {
    v.crcF = 0;
    v.fileCrcs.clear();
    progress.SetTotal(2 * static_cast<int>(v.fdrs.size()));
    for (int fdr : v.fdrs) {
        uint32_t crc = 0;
        if (!FileChecksum(drive, fdr, crc)) return Report(drive.ErrorText());
        v.fileCrcs.push_back(crc);
        v.crcF ^= crc;
        progress.Step(static_cast<int>(v.fileCrcs.size()));
        if (progress.AbortRequested(kAbortQuestion)) return Abort();
    }
    return true;
}

bool CDiskScanner::DisksWithChecksum(const char* column, uint32_t checksum,
                                     std::vector<DuplicateCandidate>& rows) {
    rows.clear();
    std::vector<int64_t> ids;
    const int position = CTableRows::Column(CatalogueTable::Disks, column);
    if (!m_disks.Find({position}, {CDbValue::Text(Hex8(checksum))}, ids)) return EngineError();
    if (ids.empty()) return true;
    CDiskSet& disks = m_catalogue.DiskSet();
    if (!disks.Open(std::string("SELECT ALL * FROM [Disks] WHERE [") + column + "] = \"" +
                    Hex8(checksum) + "\""))
        return EngineError();
    for (disks.MoveFirst(); !disks.IsEOF(); disks.MoveNext())
        rows.push_back(
            {disks.m_ID, disks.m_DiskName, disks.m_Size, disks.m_DriveType, disks.m_Drive});
    return true;
}

void CDiskScanner::WriteDiskValues(CDiskSet& d, const Volume& v) {
    const uint8_t* vib = v.vib.data();
    d.m_DiskName = std::string(reinterpret_cast<const char*>(vib), layout::kNameLength);
    d.m_Size = layout::Be16(vib + layout::kVibTotal);
    // The free sectors the drive itself counts: bits past the total are none.
    d.m_Free = layout::FreeSectorCount(vib);
    d.m_Files = static_cast<int32_t>(v.fdrs.size());
    d.m_DS = vib[layout::kVibSides] >= 2;
    d.m_DD = vib[layout::kVibDensity] >= 2;
    d.m_Protected = vib[layout::kVibProtection] != 0x20;
    SetStampPair(d.m_CreationDate, d.m_CreationTime, layout::Be16(vib + layout::kVibCreationDate),
                 layout::Be16(vib + layout::kVibCreationTime));
    SetStampPair(d.m_ModificationDate, d.m_ModificationTime,
                 layout::Be16(vib + layout::kVibUpdateDate),
                 layout::Be16(vib + layout::kVibUpdateTime));
    d.m_ArchivedDate = DateText(PackDate(), kDateOrder);
    d.m_ArchivedTime = TimeText(PackTime(), true);
    d.m_CRCS = Hex8(v.crcS);
    d.m_CRCF = Hex8(v.crcF);
    d.m_DriveType = v.driveType;
    d.m_Drive = v.drive;
}

// Writes the disk's row: a new one (id 0), or the values of the scan over row `id`, whose notes
// stay. Then the review, and the disk's files.
bool CDiskScanner::WriteDisk(const Volume& v, int id) {
    CDiskSet row;
    std::vector<CDbValue> values;
    if (id && !m_disks.Read(id, values)) return EngineError();
    row.SetRow(values);
    WriteDiskValues(row, v);
    if (id ? !m_disks.Update(id, row.Row()) : !(id = static_cast<int>(m_disks.Insert(row.Row()))))
        return EngineError();
    m_diskId = id;
    if (m_catalogue.Options().reviewDiskInfo && m_reviewer) {
        CDiskSet& disks = m_catalogue.DiskSet();
        if (!disks.Open("SELECT ALL * FROM [Disks] WHERE [ID] = " + Number(id)))
            return EngineError();
        m_reviewer->ReviewDisk(disks);
    }
    return true;
}

bool CDiskScanner::ReadWithSameSectors(CVirtualDrive& drive, Volume& v,
                                       std::vector<DuplicateCandidate>& rows) {
    if (!ReadVolume(drive, v)) return false;
    if (!SectorChecksum(drive, v.crcS)) return Report(drive.ErrorText());
    return DisksWithChecksum("CRC-S", v.crcS, rows);
}

bool CDiskScanner::AddDisk(CVirtualDrive& drive) {
    m_diskId = 0;
    Volume v;
    std::vector<DuplicateCandidate> rows;
    if (!ReadWithSameSectors(drive, v, rows)) return false;
    const bool asked = !rows.empty();
    if (asked && m_resolver.Resolve(IdenticalSectors, rows).button != DuplicateButton::CreateNew)
        return false;
    CProgress progress(m_catalogue.Prompt(), kFilesStep, 0);
    if (!ComputeFileChecksums(drive, v, progress)) return false;
    if (!asked) {
        if (!DisksWithChecksum("CRC-F", v.crcF, rows)) return false;
        if (!rows.empty() &&
            m_resolver.Resolve(IdenticalFiles, rows).button != DuplicateButton::CreateNew)
            return false;
    }
    CTransaction transaction(m_catalogue.Database());
    if (!transaction.Started()) return EngineError();
    if (!WriteDisk(v, 0) || !LinkFiles(drive, v, progress)) {
        m_diskId = 0;
        return false;
    }
    return transaction.Commit() || EngineError();
}

bool CDiskScanner::LinkFiles(CVirtualDrive& drive, const Volume& v, CProgress& progress) {
    const CatalogueOptions& options = m_catalogue.Options();
    bool reviewing = options.reviewFileInfo && m_reviewer;
    bool remembered = false;
    DuplicateAnswer forAll;
    static const int kCrc = CTableRows::Column(CatalogueTable::Files, "CRC");
    static const int kName = CTableRows::Column(CatalogueTable::Files, "File name");
    std::vector<int64_t> matches;
    std::vector<CDbValue> values;
    progress.Step(static_cast<int>(v.fdrs.size()), "Recording files");

    for (size_t i = 0; i < v.fdrs.size(); ++i) {
        Sector fdr;
        if (!drive.ReadSector(v.fdrs[i], fdr.data())) return Report(drive.ErrorText());
        const uint8_t* d = fdr.data();
        // The name is bytes 0-9; bytes 10-11 are no part of it, whatever they hold.
        size_t nameLength = 0;
        while (nameLength < layout::kNameLength && d[nameLength])
            ++nameLength;
        const std::string name(reinterpret_cast<const char*>(d), nameLength);
        const std::string crc = Hex8(v.fileCrcs[i]);
        if (!m_files.Find({kCrc, kName}, {CDbValue::Text(crc), CDbValue::Text(name)}, matches))
            return EngineError();

        FileAction action = FileAction::Create;
        int chosen = 0;
        if (!matches.empty()) {
            DuplicateAnswer answer;
            if (remembered) {
                answer = forAll;
            } else {
                switch (options.fileDuplicates) {
                    case DuplicatesCreateNew:
                        answer.button = DuplicateButton::CreateNew;
                        break;
                    case DuplicatesUseOld:
                        answer.button = DuplicateButton::UseOld;
                        break;
                    case DuplicatesUpdateOld:
                        answer.button = DuplicateButton::UpdateOld;
                        break;
                    case DuplicatesAskMe: {
                        CFileSet& files = m_catalogue.FileSet();
                        if (!files.Open("SELECT ALL * FROM [Files] WHERE ([CRC] = \"" + crc +
                                        "\") AND ([File name]=" + JetTextLiteral(name) + ")"))
                            return EngineError();
                        std::vector<DuplicateCandidate> rows;
                        for (files.MoveFirst(); !files.IsEOF(); files.MoveNext())
                            rows.push_back({files.m_ID, files.m_FileName, files.m_Size, {}, {}});
                        answer = m_resolver.Resolve(IdenticalFile, rows);
                        // The dialog has no Cancel; closing it otherwise keeps the old entry.
                        if (answer.button != DuplicateButton::CreateNew &&
                            answer.button != DuplicateButton::UpdateOld)
                            answer.button = DuplicateButton::UseOld;
                        if (answer.forAll) {
                            remembered = true;
                            forAll = answer;
                        }
                        break;
                    }
                }
            }
            if (answer.button == DuplicateButton::UseOld) action = FileAction::Reuse;
            if (answer.button == DuplicateButton::UpdateOld) action = FileAction::Update;
            // The row to reuse or update is always one the match returned: the one chosen in
            // the dialog, otherwise the first.
            chosen = static_cast<int>(matches.front());
            for (int64_t id : matches)
                if (id == answer.id) chosen = static_cast<int>(id);
        }

        int fileId = chosen;
        if (action != FileAction::Reuse) {
            CFileSet row;
            values.clear();
            if (action == FileAction::Update && !m_files.Read(chosen, values))
                action = FileAction::Create;  // gone since it was found
            row.SetRow(values);
            bool isProtected = false;
            row.m_FileName = name;
            row.m_Type =
                TypeText(d[layout::kFdrStatus], d[layout::kFdrRecordLength], 0, &isProtected);
            row.m_Size = layout::Be16(d + layout::kFdrSectors);
            row.m_Records = layout::Le16(d + layout::kFdrRecords);
            row.m_Last = d[layout::kFdrEofOffset];
            row.m_Protected = isProtected;
            SetStampPair(row.m_CreationDate, row.m_CreationTime,
                         layout::Be16(d + layout::kFdrCreationDate),
                         layout::Be16(d + layout::kFdrCreationTime));
            SetStampPair(row.m_ModificationDate, row.m_ModificationTime,
                         layout::Be16(d + layout::kFdrUpdateDate),
                         layout::Be16(d + layout::kFdrUpdateTime));
            row.m_ArchivedDate = DateText(PackDate(), kDateOrder);
            row.m_ArchivedTime = TimeText(PackTime(), true);
            row.m_CRC = crc;
            if (action == FileAction::Update
                    ? !m_files.Update(chosen, row.Row())
                    : !(fileId = static_cast<int>(m_files.Insert(row.Row()))))
                return EngineError();
        }
        if (!m_links.Insert(
                {CDbValue::Null(), CDbValue::Integer(m_diskId), CDbValue::Integer(fileId)}))
            return EngineError();
        if (action != FileAction::Reuse && reviewing) {
            CFileSet& files = m_catalogue.FileSet();
            if (!files.Open("SELECT ALL * FROM [Files] WHERE [ID] = " + Number(fileId)))
                return EngineError();
            reviewing = m_reviewer->ReviewFile(files);
        }
        progress.Step(static_cast<int>(v.fdrs.size() + i + 1));
        // Stopping here keeps nothing: the disk's rows are one transaction.
        if (progress.AbortRequested(kAbortQuestion)) return Abort();
    }
    return true;
}

// Deletes the Files rows that no other disk holds, then the disk's remaining links.
bool CDiskScanner::DeleteFilesOfDisk(int diskId) {
    CDatabase& db = m_catalogue.Database();
    const std::string id = Number(diskId);
    return db.Execute(
               "DELETE FROM [Files] WHERE [ID] IN (SELECT [FileID] FROM [DiskFileMM] WHERE "
               "[DiskID] = " +
               id +
               ") AND NOT [ID] IN (SELECT [FileID] FROM [DiskFileMM] "
               "WHERE [DiskID] <> " +
               id + ")") >= 0 &&
           db.Execute("DELETE FROM [DiskFileMM] WHERE [DiskID] = " + id) >= 0;
}

bool CDiskScanner::RescanDisk(CVirtualDrive& drive) {
    m_diskId = 0;
    Volume v;
    std::vector<DuplicateCandidate> rows;
    if (!ReadWithSameSectors(drive, v, rows)) return false;
    DuplicateAnswer answer = m_resolver.Resolve(SelectDiskToUpdate, rows);
    if (answer.button != DuplicateButton::Overwrite) return false;
    const int id = answer.id ? answer.id : (rows.empty() ? 0 : rows.back().id);
    if (!DiskIdExists(id)) return Report("Can't find disk with [ID] = " + Number(id));
    CProgress progress(m_catalogue.Prompt(), kFilesStep, 0);
    if (!ComputeFileChecksums(drive, v, progress)) return false;

    CTransaction transaction(m_catalogue.Database());
    if (!transaction.Started()) return EngineError();
    // The old links go before the disk is linked again, so that no link is doubled; files only
    // this disk held go with them.
    if (!DeleteFilesOfDisk(id)) return EngineError();
    if (!WriteDisk(v, id) || !LinkFiles(drive, v, progress)) {
        m_diskId = 0;
        return false;
    }
    return transaction.Commit() || EngineError();
}

bool CDiskScanner::RemoveDisks(const std::vector<int>& ids) {
    if (ids.empty()) return false;
    if (ids.size() > 1) {
        char question[96];
        std::snprintf(question, sizeof question, "Remove %d disk (and their files) from database?",
                      static_cast<int>(ids.size()));
        if (m_catalogue.Prompt().Ask(question, PromptButtons::OkCancel) != PromptAnswer::Ok)
            return false;
    }
    CDatabase& db = m_catalogue.Database();
    CDiskSet& list = m_catalogue.DiskSet();
    const std::string listSql = list.IsOpen() ? list.Sql() : "SELECT ALL * FROM [Disks]";
    bool ok = true;
    {
        // Every disk goes, or none does.
        CTransaction transaction(db);
        ok = transaction.Started() || EngineError();
        for (size_t i = 0; ok && i < ids.size(); ++i) {
            if (!DiskIdExists(ids[i]))
                ok = Report("Can't find disk with [ID] = " + Number(ids[i]));
            else if (!DeleteFilesOfDisk(ids[i]) ||
                     db.Execute("DELETE FROM [Disks] WHERE [ID] = " + Number(ids[i])) < 0)
                ok = EngineError();
        }
        if (ok && !transaction.Commit()) ok = EngineError();
    }
    if (!list.Open(listSql)) list.Open("SELECT ALL * FROM [Disks]");
    return ok;
}

bool CDiskScanner::Abort() {
    m_aborted = true;
    return false;
}

bool CDiskScanner::DiskIdExists(int id) {
    std::vector<CDbValue> row;
    return id > 0 && m_disks.Read(id, row);
}

}  // namespace tavik
