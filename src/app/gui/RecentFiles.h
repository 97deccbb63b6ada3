// The Drive menu's recent-file list: the last four images mounted through the mount command,
// newest first, kept between runs with QSettings.
#pragma once

#include <QString>
#include <QStringList>

namespace tavik {

class CRecentFiles {
public:
    static constexpr int kEntries = 4;

    // organisation/application name the QSettings scope (tests use a scope of their own).
    explicit CRecentFiles(QString organisation = "TAVIK", QString application = "TAVIK");

    void Load();
    void Save() const;
    // Puts path at the front (moving it there when present) and keeps four entries.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Entries() const { return m_entries; }

private:
    QString m_organisation;
    QString m_application;
    QStringList m_entries;
};

}  // namespace tavik
