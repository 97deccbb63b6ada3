#include "app/gui/RecentFiles.h"

#include <QSettings>

namespace tavik {

namespace {
const char* const kGroup = "Recent File List";
}

CRecentFiles::CRecentFiles(QString organisation, QString application)
    : m_organisation(std::move(organisation)), m_application(std::move(application)) {}

void CRecentFiles::Load() {
    QSettings settings(m_organisation, m_application);
    settings.beginGroup(kGroup);
    m_entries.clear();
    for (int i = 1; i <= kEntries; ++i) {
        const QString path = settings.value(QString("File%1").arg(i)).toString();
        if (!path.isEmpty()) m_entries << path;
    }
}

void CRecentFiles::Save() const {
    QSettings settings(m_organisation, m_application);
    settings.beginGroup(kGroup);
    for (int i = 1; i <= kEntries; ++i) {
        const QString key = QString("File%1").arg(i);
        if (i <= m_entries.size())
            settings.setValue(key, m_entries[i - 1]);
        else
            settings.remove(key);
    }
}

void CRecentFiles::Add(const QString& path) {
    m_entries.removeAll(path);
    m_entries.prepend(path);
    while (m_entries.size() > kEntries)
        m_entries.removeLast();
    Save();
}

void CRecentFiles::Remove(const QString& path) {
    m_entries.removeAll(path);
    Save();
}

}  // namespace tavik
