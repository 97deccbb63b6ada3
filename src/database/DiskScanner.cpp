#include "database/DiskScanner.h"

#include <cstdio>

#include "database/Checksum.h"
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

}  // namespace

const char* DuplicateHeading(int mode) {
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

std::string JetTextLiteral(const std::string& text) {
    std::string literal = "\"";
    for (char c : text) {
        if (c == '"') literal += '"';
        literal += c;
    }
    return literal + "\"";
}

bool DriveDescription(const CVirtualDrive& drive, std::string& driveType, std::string& where) {
    DriveProperties p;
    if (!drive.GetDriveProperties(p)) return false;
    char text[64];
    switch (p.kind) {
        case DriveKind::DoadImage:
            driveType = "DOAD";
            where = p.path;
            return true;
        case DriveKind::Pc99Fm:
        case DriveKind::Pc99Mfm:
            driveType = "PC99";
            where = p.path;
            return true;
        case DriveKind::HfeImage:
            driveType = "HFE";
            where = p.path;
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
      m_links(&catalogue.Database()) {}

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
    for (int k = 0; k < layout::kIndexEntries; ++k) {
        int fdr = layout::Be16(v.index.data() + 2 * k);
        if (fdr == 0) break;
        v.fdrs.push_back(fdr);
    }
    return true;
}

bool CDiskScanner::ComputeFileChecksums(CVirtualDrive& drive, Volume& v) {
    v.crcF = 0;
    v.fileCrcs.clear();
    for (int fdr : v.fdrs) {
        uint32_t crc = 0;
        if (!FileChecksum(drive, fdr, crc)) return Report(drive.ErrorText());
        v.fileCrcs.push_back(crc);
        v.crcF ^= crc;
    }
    return true;
}

bool CDiskScanner::Candidates(const std::string& sql, std::vector<DuplicateCandidate>& rows) {
    CDiskSet& disks = m_catalogue.DiskSet();
    rows.clear();
    if (!disks.Open(sql)) return EngineError();
    for (disks.MoveFirst(); !disks.IsEOF(); disks.MoveNext())
        rows.push_back(
            {disks.m_ID, disks.m_DiskName, disks.m_Size, disks.m_DriveType, disks.m_Drive});
    return true;
}

void CDiskScanner::WriteDiskValues(const Volume& v) {
    CDiskSet& d = m_catalogue.DiskSet();
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

bool CDiskScanner::ReadWithSameSectors(CVirtualDrive& drive, Volume& v,
                                       std::vector<DuplicateCandidate>& rows) {
    if (!ReadVolume(drive, v)) return false;
    if (!SectorChecksum(drive, v.crcS)) return Report(drive.ErrorText());
    return Candidates("SELECT ALL * FROM [Disks] WHERE [CRC-S] = \"" + Hex8(v.crcS) + "\"", rows);
}

bool CDiskScanner::AddDisk(CVirtualDrive& drive) {
    m_diskId = 0;
    Volume v;
    std::vector<DuplicateCandidate> rows;
    if (!ReadWithSameSectors(drive, v, rows)) return false;
    const bool asked = !rows.empty();
    if (asked && m_resolver.Resolve(IdenticalSectors, rows).button != DuplicateButton::CreateNew)
        return false;
    if (!ComputeFileChecksums(drive, v)) return false;
    if (!asked) {
        if (!Candidates("SELECT ALL * FROM [Disks] WHERE [CRC-F] = \"" + Hex8(v.crcF) + "\"", rows))
            return false;
        if (!rows.empty() &&
            m_resolver.Resolve(IdenticalFiles, rows).button != DuplicateButton::CreateNew)
            return false;
    }

    CDatabase& db = m_catalogue.Database();
    // One transaction per disk: much faster, and whatever was written stays even when the scan
    // stops half-way (the transaction is committed in any case).
    const bool transaction = db.BeginTrans();
    CDiskSet& disks = m_catalogue.DiskSet();
    bool ok = disks.AddNew();
    if (ok) {
        WriteDiskValues(v);
        ok = disks.Update();
    }
    if (!ok) {
        disks.CancelUpdate();
        EngineError();
    } else {
        m_diskId = disks.m_ID;
        if (m_catalogue.Options().reviewDiskInfo && m_reviewer) m_reviewer->ReviewDisk(disks);
        ok = LinkFiles(drive, v);
    }
    if (transaction && !db.CommitTrans()) return EngineError();
    return ok;
}

bool CDiskScanner::LinkFiles(CVirtualDrive& drive, const Volume& v) {
    const CatalogueOptions& options = m_catalogue.Options();
    bool reviewing = options.reviewFileInfo && m_reviewer;
    bool remembered = false;
    DuplicateAnswer forAll;
    if (!m_links.IsOpen() && !m_links.Open("SELECT ALL * FROM [DiskFileMM]")) return EngineError();
    CFileSet& files = m_catalogue.FileSet();

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

        if (!files.Open("SELECT ALL * FROM [Files] WHERE ([CRC] = \"" + crc +
                        "\") AND ([File name]=" + JetTextLiteral(name) + ")"))
            return EngineError();
        std::vector<int> matches;
        for (files.MoveFirst(); !files.IsEOF(); files.MoveNext())
            matches.push_back(files.m_ID);

        FileAction action = FileAction::Create;
        int chosen = 0;
        if (!matches.empty()) {
            DuplicateAnswer answer;
            if (remembered) {
                answer = forAll;
            } else {
                switch (options.fileDuplicates) {
                    case 1:
                        answer.button = DuplicateButton::CreateNew;
                        break;
                    case 2:
                        answer.button = DuplicateButton::UseOld;
                        break;
                    case 3:
                        answer.button = DuplicateButton::UpdateOld;
                        break;
                    default: {
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
            chosen = matches.front();
            for (int id : matches)
                if (id == answer.id) chosen = id;
        }

        int fileId = chosen;
        if (action != FileAction::Reuse) {
            bool editing = action == FileAction::Update &&
                           files.FindFirst("[ID]=" + Number(chosen)) && files.Edit();
            if (!editing && !files.AddNew()) return EngineError();
            bool isProtected = false;
            files.m_FileName = name;
            files.m_Type =
                TypeText(d[layout::kFdrStatus], d[layout::kFdrRecordLength], 0, &isProtected);
            files.m_Size = layout::Be16(d + layout::kFdrSectors);
            files.m_Records = layout::Le16(d + layout::kFdrRecords);
            files.m_Last = d[layout::kFdrEofOffset];
            files.m_Protected = isProtected;
            SetStampPair(files.m_CreationDate, files.m_CreationTime,
                         layout::Be16(d + layout::kFdrCreationDate),
                         layout::Be16(d + layout::kFdrCreationTime));
            SetStampPair(files.m_ModificationDate, files.m_ModificationTime,
                         layout::Be16(d + layout::kFdrUpdateDate),
                         layout::Be16(d + layout::kFdrUpdateTime));
            files.m_ArchivedDate = DateText(PackDate(), kDateOrder);
            files.m_ArchivedTime = TimeText(PackTime(), true);
            files.m_CRC = crc;
            if (!files.Update()) {
                files.CancelUpdate();
                return EngineError();
            }
            fileId = files.m_ID;
        }

        if (!m_links.AddNew() || !m_links.SetFieldValue("DiskID", CDbValue::Integer(m_diskId)) ||
            !m_links.SetFieldValue("FileID", CDbValue::Integer(fileId)) || !m_links.Update()) {
            m_links.CancelUpdate();
            return EngineError();
        }
        if (action != FileAction::Reuse && reviewing) reviewing = m_reviewer->ReviewFile(files);
    }
    return true;
}

// Deletes the Files rows that no other disk holds, then the disk's remaining links.
bool CDiskScanner::DeleteFilesOfDisk(int diskId, bool keepLinks) {
    CDatabase& db = m_catalogue.Database();
    CFileSet files(&db);
    if (!files.Open("SELECT t1.* FROM [Files] t1 INNER JOIN [DiskFileMM] t2 ON t2.[FileID] = "
                    "t1.[ID] WHERE t2.[DiskID]=" +
                    Number(diskId)))
        return EngineError();
    CRecordSet holders(&db);
    for (files.MoveFirst(); !files.IsEOF(); files.MoveNext()) {
        if (files.m_ID.IsNull()) continue;  // listed twice and deleted already
        if (!holders.Open("SELECT t1.* FROM [Disks] t1 INNER JOIN [DiskFileMM] t2 ON t2.[DiskID] "
                          "= t1.[ID] WHERE t2.[FileID]=" +
                          Number(files.m_ID)))
            return EngineError();
        bool onlyThisDisk = true;
        for (; !holders.IsEOF(); holders.MoveNext())
            if (holders.GetFieldValue("ID").AsInteger() != diskId) onlyThisDisk = false;
        if (onlyThisDisk && !files.Delete()) return EngineError();
    }
    if (keepLinks) return true;
    CRecordSet links(&db);
    if (!links.Open("SELECT ALL * FROM [DiskFileMM] WHERE [DiskID] = " + Number(diskId)))
        return EngineError();
    for (links.MoveFirst(); !links.IsEOF(); links.MoveNext())
        if (!links.Delete()) return EngineError();
    return true;
}

bool CDiskScanner::RescanDisk(CVirtualDrive& drive) {
    m_diskId = 0;
    Volume v;
    std::vector<DuplicateCandidate> rows;
    if (!ReadWithSameSectors(drive, v, rows)) return false;
    DuplicateAnswer answer = m_resolver.Resolve(SelectDiskToUpdate, rows);
    if (answer.button != DuplicateButton::Overwrite) return false;
    int id = answer.id ? answer.id : (rows.empty() ? 0 : rows.back().id);

    CDiskSet& disks = m_catalogue.DiskSet();
    if (!disks.Open("SELECT ALL * FROM [Disks]")) return EngineError();
    const std::string criteria = "[ID] = " + Number(id);
    if (!disks.FindFirst(criteria)) return Report("Can't find disk with " + criteria);
    if (!ComputeFileChecksums(drive, v)) return false;

    CDatabase& db = m_catalogue.Database();
    const bool transaction = db.BeginTrans();
    // The old links go before the disk is linked again, so that no link is doubled; files only
    // this disk held go with them.
    bool ok = DeleteFilesOfDisk(id, false);
    if (ok) {
        ok = disks.Edit();
        if (ok) {
            WriteDiskValues(v);
            ok = disks.Update();
        }
        if (!ok) {
            disks.CancelUpdate();
            EngineError();
        }
    }
    if (ok) {
        m_diskId = id;
        if (m_catalogue.Options().reviewDiskInfo && m_reviewer) m_reviewer->ReviewDisk(disks);
        ok = LinkFiles(drive, v);
    }
    if (transaction && !db.CommitTrans()) return EngineError();
    return ok;
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
    CDiskSet disks(&db);
    if (!disks.Open("SELECT ALL * FROM [Disks]")) return EngineError();
    const bool transaction = db.BeginTrans();
    bool ok = true;
    for (int id : ids) {
        if (!disks.FindFirst("[ID] = " + Number(id))) continue;
        if (!DeleteFilesOfDisk(id, false) || !disks.Delete()) {
            if (disks.IsOpen()) EngineError();
            ok = false;
            break;
        }
    }
    if (transaction && !db.CommitTrans()) ok = EngineError();
    if (!list.Open(listSql)) list.Open("SELECT ALL * FROM [Disks]");
    return ok;
}

bool CDiskScanner::DiskIdExists(int id) {
    CDiskSet disks(&m_catalogue.Database());
    return disks.Open("SELECT ALL * FROM [Disks] WHERE [ID]=" + Number(id)) &&
           disks.GetRecordCount() > 0;
}

}  // namespace tavik
