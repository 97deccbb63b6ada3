#include "views/DragPayload.h"

#include <QCoreApplication>
#include <QUrl>

#include "app/ArchiveFolders.h"
#include "app/TreeOperations.h"

namespace tavik {

namespace {

const char* const kProcessMime = "application/x-tavik-process";
const char* const kUriListMime = "text/uri-list";

void MarkProcess(QMimeData& mime) {
    mime.setData(kProcessMime, QByteArray::number(QCoreApplication::applicationPid()));
}

bool FromThisProcess(const QMimeData& mime) {
    return !mime.hasFormat(kProcessMime) ||
           mime.data(kProcessMime).toLongLong() == QCoreApplication::applicationPid();
}

// Offers the rows' (or members') PC files without making them: they are exported the first time a
// program asks for the URL list, which a drop inside this program never does.
class CExportingMime : public QMimeData {
public:
    explicit CExportingMime(std::function<std::vector<std::string>()> exportFiles)
        : m_export(std::move(exportFiles)) {}

    QStringList formats() const override {
        QStringList f = QMimeData::formats();
        f << kUriListMime;
        return f;
    }
    bool hasFormat(const QString& format) const override {
        return format == kUriListMime || QMimeData::hasFormat(format);
    }

protected:
    QVariant retrieveData(const QString& format, QMetaType type) const override {
        if (format != kUriListMime) return QMimeData::retrieveData(format, type);
        if (!m_exported) {
            m_exported = true;
            for (const std::string& path : m_export())
                m_uris += QUrl::fromLocalFile(QString::fromStdString(path)).toEncoded() + "\r\n";
        }
        return m_uris;
    }

private:
    std::function<std::vector<std::string>()> m_export;
    mutable bool m_exported = false;
    mutable QByteArray m_uris;
};

}  // namespace

QMimeData* TreeItemMime(const CTreeItem& item) {
    auto* mime = new QMimeData;
    mime->setData(kTreeItemMime, QByteArray::number(item.Id()));
    MarkProcess(*mime);
    return mime;
}

QMimeData* DiskFilesMime(ItemId drive, const std::vector<int>& fdrs,
                         std::function<std::vector<std::string>()> exportFiles) {
    auto* mime = new CExportingMime(std::move(exportFiles));
    mime->setData(kDiskFilesMime, QByteArray::fromStdString(FilesClip(drive, fdrs)));
    MarkProcess(*mime);
    return mime;
}

QMimeData* ArchiveMembersMime(ItemId archive, const std::vector<std::string>& names,
                              std::function<std::vector<std::string>()> exportFiles) {
    auto* mime = new CExportingMime(std::move(exportFiles));
    mime->setData(kArchiveMembersMime, QByteArray::fromStdString(MembersClip(archive, names)));
    MarkProcess(*mime);
    return mime;
}

DragPayload ReadPayload(const QMimeData& mime) {
    DragPayload payload;
    const bool ours = FromThisProcess(mime);
    if (ours && mime.hasFormat(kTreeItemMime)) {
        payload.source = DragPayload::Source::TreeItem;
        payload.item = mime.data(kTreeItemMime).toInt();
    } else if (ours && mime.hasFormat(kDiskFilesMime)) {
        const std::string clip = mime.data(kDiskFilesMime).toStdString();
        payload.source = DragPayload::Source::DiskFiles;
        payload.item = ClipSourceNumber(clip);
        payload.fdrs = ClipFileSectors(clip);
    } else if (ours && mime.hasFormat(kArchiveMembersMime)) {
        const std::string clip = mime.data(kArchiveMembersMime).toStdString();
        payload.source = DragPayload::Source::ArchiveMembers;
        payload.item = ClipSourceNumber(clip);
        payload.names = ClipMemberNames(clip);
    } else if (mime.hasUrls()) {
        for (const QUrl& url : mime.urls())
            if (url.isLocalFile()) payload.paths.push_back(url.toLocalFile().toStdString());
        if (!payload.paths.empty()) payload.source = DragPayload::Source::PcFiles;
    }
    return payload;
}

}  // namespace tavik
