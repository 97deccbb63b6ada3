// The catalog list's commands while it lists the members of an archive: Copy (the members
// clip), Paste (files copied from a disk become members), Delete (members leave the archive)
// and Export (members to PC files through the export chooser). Each change rewrites the archive
// all or nothing; afterwards the list shows what the archive now holds.
#pragma once

#include <string>
#include <vector>

#include "app/Command.h"
#include "views/PaneContext.h"

namespace tavik {

class CArkFile;
class CCurrentDisk;
class CDiskView;
class CFileCommands;
class CTreeItem;
class CTreeModel;

class CArchiveCommands {
public:
    CArchiveCommands(CDiskView& list, const PaneContext& context, CFileCommands& files);

    // The commands a member list runs; true when this was one of them (others do nothing
    // there).
    bool Run(CommandId id);
    bool CanPaste() const;

    void Copy();
    void Paste();
    void Remove();
    void Export();

private:
    CTreeItem* Archive() const;
    // Reads the archive; false after saying why it cannot be read.
    bool Open(const CTreeItem& archive, CArkFile& ark);
    void Changed();

    CDiskView& m_list;
    CTreeModel& m_tree;
    CCurrentDisk& m_disk;
    COptions& m_options;
    CUserPrompt& m_prompt;
    std::string& m_clip;
    CFileCommands& m_files;
};

}  // namespace tavik
