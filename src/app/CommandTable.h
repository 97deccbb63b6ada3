// The command table of the main window as data: every command's caption (with its shortcut
// after a tab), prompt ("status-bar text\ntooltip"), shortcuts, owning pane and check state; the
// menu layout and the toolbar order; and the enabling rules over a CommandState.
#pragma once

#include <string>
#include <vector>

#include "app/Command.h"

namespace tavik {

struct CommandEntry {
    CommandId id;
    const char* caption;                 // menu text without the shortcut
    const char* prompt;                  // "long prompt\nshort prompt"; empty for none
    std::vector<const char*> shortcuts;  // in Qt's portable key text ("Ctrl+N")
    Pane owner;
    bool checkable = false;
};

// One line of a menu: a command, a separator, a submenu or the recent-file list.
struct MenuLine {
    enum Kind { Command, Separator, Submenu, RecentFiles } kind;
    CommandId id = CommandId::Count;
    const char* title = nullptr;     // submenu title
    std::vector<CommandId> submenu;  // submenu commands
};

struct MenuSpec {
    const char* title;
    std::vector<MenuLine> lines;
};

// The toolbar: a CommandId per button, CommandId::Count for a separator.
const std::vector<CommandId>& ToolbarLayout();
const std::vector<MenuSpec>& MenuLayout();

const CommandEntry& Command(CommandId id);
const std::vector<CommandEntry>& AllCommands();

// The long and the short part of a prompt.
std::string StatusPrompt(const CommandEntry& entry);
std::string TooltipPrompt(const CommandEntry& entry);

// Whether a command may run now. Commands that "the focused pane decides" are asked of the
// focused pane (focusedTarget may be null: then they are disabled).
bool CommandEnabled(CommandId id, const CommandState& state,
                    const CCommandTarget* focusedTarget = nullptr);
// Whether a check item shows its check mark.
bool CommandChecked(CommandId id, const CommandState& state);
// The caption as the state wants it (captions that follow the editor or the focused pane).
std::string CommandCaption(CommandId id, const CommandState& state,
                           const CCommandTarget* focusedTarget = nullptr);

}  // namespace tavik
