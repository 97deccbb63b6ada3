#include "disk/FilePropertiesForm.h"

#include <cstring>
#include <optional>

#include "base/CInteger.h"
#include "disk/FileType.h"
#include "disk/TiDateTime.h"
#include "disk/TiName.h"

namespace tavik {

namespace {

std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The name field: "" when it is empty after trimming, else the 10-character padded name.
std::string NameField(const std::string& text) {
    const std::string name = Trimmed(text);
    return name.empty() ? std::string() : PadTiName(name);
}

bool ReadType(const FilePropertiesForm& form, ParsedType& type) {
    if (!ParseDialogType(form.type, type)) return false;
    if (form.isProtected) type.status |= kStatusProtected;
    return true;
}

}  // namespace

std::string ReadStampFields(const StampFields& fields, StampValues& values) {
    struct Field {
        const std::string& text;
        bool isDate;
        uint16_t& value;
        const char* message;
    };
    StampValues read;
    const Field order[] = {
        {fields.creationDate, true, read.creationDate, "Invalid creation date (dd/mm/yy)"},
        {fields.updateDate, true, read.updateDate, "Invalid modification date (dd/mm/yy)"},
        {fields.creationTime, false, read.creationTime, "Invalid creation time (hh:mm:ss)"},
        {fields.updateTime, false, read.updateTime, "Invalid modification time (hh:mm:ss)"},
    };
    for (const Field& f : order) {
        if (f.text.empty()) continue;
        const int word = f.isDate ? ParseDate(f.text, 0) : ParseTime(f.text);
        if (word < 0) return f.message;
        f.value = static_cast<uint16_t>(word);
    }
    values = read;
    return {};
}

std::vector<uint32_t> ReadClusterLines(const std::string& text) {
    std::vector<uint32_t> clusters;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + at, end - at);
        size_t used = 0;
        const std::optional<long> first = ReadCInteger(line, used);
        if (!first) break;
        long last = *first;
        if (used < line.size() && line[used] == '-') {
            const std::optional<long> second = ReadCInteger(line.substr(used + 1));
            if (second) last = *second;
        }
        clusters.push_back(
            FileProperties::Cluster(static_cast<uint16_t>(*first), static_cast<uint16_t>(last)));
        at = end + 1;
    }
    return clusters;
}

std::string ReadFilePropertiesForm(const FilePropertiesForm& form, FileProperties& record) {
    const std::string name = NameField(form.name);
    if (name.empty()) return "Invalid file name";
    const std::optional<long> sectors = ReadCInteger(form.sectors);
    if (!sectors) return "Invalid number: size";
    const std::optional<long> records = ReadCInteger(form.records);
    if (!records) return "Invalid number: record/sector";
    const std::optional<long> lastByte = ReadCInteger(form.lastByte);
    if (!lastByte) return "Invalid number: last byte";
    const std::optional<long> perSector = ReadCInteger(form.recordsPerSector);
    if (!perSector) return "Invalid number: records per sector";
    ParsedType type;
    if (!ReadType(form, type)) return "Invalid file type";
    StampValues stamps;
    const std::string stampMessage = ReadStampFields(
        {form.creationDate, form.creationTime, form.updateDate, form.updateTime}, stamps);
    if (!stampMessage.empty()) return stampMessage;

    std::memcpy(record.name.data(), name.data(), record.name.size());
    record.sectors = static_cast<uint16_t>(*sectors);
    record.records = static_cast<uint16_t>(*records);
    record.eofOffset = static_cast<uint8_t>(*lastByte);
    record.recordsPerSector = static_cast<uint8_t>(*perSector);
    record.status = type.status;
    record.recordLength = type.recordLength;
    record.creationDate = stamps.creationDate;
    record.creationTime = stamps.creationTime;
    record.updateDate = stamps.updateDate;
    record.updateTime = stamps.updateTime;
    record.clusters =
        form.clustersChanged ? ReadClusterLines(form.clusters) : std::vector<uint32_t>();
    return {};
}

int CreateFileFromForm(CVirtualDrive& drive, const FilePropertiesForm& form, std::string& message) {
    message.clear();
    const std::string name = NameField(form.name);
    if (name.empty()) {
        message = "Invalid file name";
        return 0;
    }
    const std::optional<long> perSector = ReadCInteger(form.recordsPerSector);
    if (!perSector) {
        message = "Invalid number: records per sector";
        return 0;
    }
    ParsedType type;
    if (!ReadType(form, type)) {
        message = "Invalid file type";
        return 0;
    }
    StampValues stamps;
    message = ReadStampFields(
        {form.creationDate, form.creationTime, form.updateDate, form.updateTime}, stamps);
    if (!message.empty()) return 0;

    const int fdr = drive.CreateFile(name, type.status, type.recordLength);
    FileProperties record;
    if (fdr < 2 || !drive.GetFileProperties(fdr, record)) {
        message = drive.ErrorText();
        return 0;
    }
    record.status = type.status;
    record.recordLength = type.recordLength;
    record.recordsPerSector = static_cast<uint8_t>(*perSector);
    record.creationDate = stamps.creationDate;
    record.creationTime = stamps.creationTime;
    record.updateDate = stamps.updateDate;
    record.updateTime = stamps.updateTime;
    record.clusters.clear();
    if (!drive.SetFileProperties(fdr, record)) {
        message = drive.ErrorText();
        return 0;
    }
    return fdr;
}

bool IsVariableType(uint8_t status) {
    return (status & 0x80) != 0 && (status & 0x01) == 0;
}

FilePropertiesForm FormOfRecord(const FileProperties& r) {
    constexpr int kDialogDateOrder = 0;  // dd/mm/yy, as the field messages ask for
    FilePropertiesForm f;
    f.name.assign(r.name.begin(), r.name.end());
    while (!f.name.empty() && (f.name.back() == ' ' || f.name.back() == '\0'))
        f.name.pop_back();
    switch (r.status & 0x83) {
        case 0x00:
        case 0x01:
        case 0x02:
        case 0x80:
        case 0x82:
            f.type = TypeText(r.status, r.recordLength, 0);
            break;
        default:
            f.type = "???";
            break;
    }
    f.isProtected = (r.status & 0x08) != 0;
    f.sectors = std::to_string(r.sectors);
    f.records = std::to_string(r.records);
    f.lastByte = std::to_string(r.eofOffset);
    f.recordsPerSector = std::to_string(r.recordsPerSector);
    const auto stamp = [&](uint16_t date, uint16_t time, std::string& dateText,
                           std::string& timeText) {
        if (!date && !time) return;
        dateText = DateText(date, kDialogDateOrder);
        timeText = TimeText(time, true);
    };
    stamp(r.creationDate, r.creationTime, f.creationDate, f.creationTime);
    stamp(r.updateDate, r.updateTime, f.updateDate, f.updateTime);
    for (uint32_t c : r.clusters)
        f.clusters += std::to_string(FileProperties::ClusterFirst(c)) + "-" +
                      std::to_string(FileProperties::ClusterLast(c)) + "\n";
    return f;
}

FilePropertiesForm NewFileForm() {
    FileProperties now;
    now.status = 0x80;
    now.recordLength = 80;
    now.recordsPerSector = 3;
    now.creationDate = now.updateDate = PackDate();
    now.creationTime = now.updateTime = PackTime();
    FilePropertiesForm f = FormOfRecord(now);
    f.name.clear();
    return f;
}

}  // namespace tavik
