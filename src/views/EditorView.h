// The right pane of the lower row: the sector editor. It holds the drive the drive tree handed
// it and shows its current sector as a hexadecimal dump; editing comes with the sector tools.
#pragma once

#include <QPlainTextEdit>
#include <array>
#include <cstdint>
#include <string>

#include "views/Command.h"

namespace tavik {

class CVirtualDrive;

class CEditorView : public QPlainTextEdit, public CCommandTarget {
    Q_OBJECT
public:
    explicit CEditorView(QWidget* parent = nullptr);

    // Takes the drive, starting at sector 0 with file-confined moves off. itemId: the drive
    // item's number, named in the sector clips Copy writes.
    void SetDrive(CVirtualDrive* drive, int itemId = 0);
    void Clear();
    CVirtualDrive* Drive() const { return m_drive; }
    int CurrentSector() const { return m_sector; }
    bool StayInFile() const { return m_stayInFile; }
    CVirtualDrive* Target() const { return m_target; }
    void SetTarget(CVirtualDrive* target) { m_target = target; }
    QString TargetName() const { return m_targetName; }
    void SetTargetName(const QString& name) { m_targetName = name; }

    // A pasted "Sector" clip: the sector of another drive goes into the buffer and is shown
    // (the editor's own drive and sector number stay). False with error set on a read failure.
    bool LoadSector(CVirtualDrive& source, int n, std::string& error);
    const std::array<uint8_t, 256>& Buffer() const { return m_buffer; }
    // The application's internal clip, shared by the four panes.
    void SetClip(std::string* clip) { m_clip = clip; }

    // Reads sector n of the drive into the buffer and shows it.
    void ShowSector(int n);
    // The file sector moves stay in: its FDR sector, positive while moves are confined to it,
    // negative while it is only remembered, 0 for none; name is its file label.
    void SetStayInFile(int fdr, const std::string& name) {
        m_stayFile = fdr;
        m_stayInFile = fdr > 0;
        m_fileLabel = name;
    }
    int StayFile() const { return m_stayFile; }
    const std::string& FileLabel() const { return m_fileLabel; }

    bool HandleCommand(CommandId id) override;
    bool HasHandler(CommandId id) const override { return id == CommandId::EditCopy; }
    bool IsEnabledHere(CommandId id, const CommandState&) const override {
        return id == CommandId::EditCopy && m_drive;
    }

private:
    void ShowBuffer();

    CVirtualDrive* m_drive = nullptr;
    CVirtualDrive* m_target = nullptr;
    QString m_targetName;
    int m_sector = 0;
    int m_itemId = 0;
    bool m_stayInFile = false;
    int m_stayFile = 0;
    std::string m_fileLabel;
    std::array<uint8_t, 256> m_buffer{};
    std::string* m_clip = nullptr;
};

}  // namespace tavik
