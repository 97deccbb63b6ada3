// The workspace file: the options, the window layout and the user's arrangement of the drive
// tree between runs.
//
// Layout (archive encoding, see Archive.h; no other header or trailer):
//   1. the string "TAVIKWrk2.2"
//   2. the options record (Options.h)
//   3. the list of the "PC" root's children
//   4. the list of the database root's children without "Saved queries" and "Parameters",
//      present only while a database is open
//   5. int32 0
//   6. optional extension sections (settings added after the format was fixed): the int32
//      "EXT1" mark, then up to the end of the file pairs of strings, a section's name and its
//      contents (archive bytes of their own). A section is written only when it holds more than
//      the defaults, so a file without such settings keeps exactly the layout above; readers
//      that know no sections stop after 5 and lose nothing they knew, and a reader skips the
//      sections it does not know. "Columns": the column widths the user set; "Options": the
//      options added after the options record (Options.h).
// A list is a run of entries, each int32 1 then a node entry, ended by int32 0. A node entry is
// the node record (TreeNode.h) followed by the node's own list: the children of PC and dummy
// folders; an empty list (a single 0) for every other kind, so children of queries are not kept.
// The TI-99/4A and emulator roots with their devices and drives are never written.
#pragma once

#include <functional>
#include <string>

#include "app/LayoutHost.h"
#include "app/Options.h"
#include "app/TreeModel.h"
#include "base/PcFile.h"
#include "base/UserPrompt.h"

namespace tavik {

inline constexpr const char* kWorkspaceMagic = "TAVIKWrk2.2";
inline constexpr const char* kDefaultWorkspaceName = "Workspace.TVK";
// Folders nest no deeper than this in a workspace file; deeper nesting counts as damage.
inline constexpr int kMaxWorkspaceDepth = 64;

class CWorkspace {
public:
    CWorkspace(COptions& options, CTreeModel& tree, CUserPrompt& prompt);

    // Where an empty name points: "Workspace.TVK" in the working directory of the start.
    void SetDefaultPath(std::string path) { m_defaultPath = std::move(path); }
    const std::string& DefaultPath() const { return m_defaultPath; }

    // Optional: the main window, and whoever hands the link settings to the cable link.
    void SetLayoutHost(CLayoutHost* host) { m_layout = host; }
    void SetLinkSettingsHandler(std::function<void(const COptions&)> handler) {
        m_linkSettings = std::move(handler);
    }

    // Empty name: the default "Workspace.TVK"; a relative name is taken in the current working
    // directory. The file is replaced only once it was written completely. 1 on success; on
    // failure "Can't create file " and the name, and 0.
    int SaveWorkspace(const std::string& name = {});

    // 1 on success. A missing default file gives 0 silently; a missing given file "Can't open
    // file " and the name; another magic "Wrong file format " and the name, with nothing
    // changed. A file that ends early or is damaged after the magic stops loading there: what
    // was read keeps its value, the message "Damaged workspace file " and the name is shown,
    // and the result is 0.
    int LoadWorkspace(const std::string& name = {});

    // How a saved image is reopened; the default creates a drive and opens the PC file at
    // path as an image. Null means the image no longer opens.
    using ImageOpener = std::function<std::unique_ptr<CVirtualDrive>(const std::string& path)>;
    void SetImageOpener(ImageOpener opener) { m_openImage = std::move(opener); }

    // The steps without the file handling, on an open file.
    bool Write(CPcFile& file);
    enum class ReadResult { Loaded, WrongFormat, Damaged };
    ReadResult Read(CPcFile& file);

private:
    void WriteList(CArchive& ar, CTreeItem& parent);
    // parent null: read and discard.
    bool ReadList(CArchive& ar, CTreeItem* parent, int depth);
    bool ReadEntry(CArchive& ar, CTreeItem* parent, int depth);
    void ReadTree(CArchive& ar);
    void WriteSections(CArchive& ar);
    void ReadSections(CArchive& ar);

    COptions& m_options;
    CTreeModel& m_tree;
    CUserPrompt& m_prompt;
    CLayoutHost* m_layout = nullptr;
    std::function<void(const COptions&)> m_linkSettings;
    std::string m_defaultPath = kDefaultWorkspaceName;
    ImageOpener m_openImage;
};

}  // namespace tavik
