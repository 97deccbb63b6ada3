// What the "Customized display" dialog edits for the list shown: the "Apply to:" entries (the
// shown list itself, the list's default fields, the list's default column sizes), the texts
// "Get current" fills in, what "Save" changes, and the field names the builder row offers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/DisplaySpec.h"

namespace tavik {

// The things the dialog may change; a null pointer is a target the list does not have.
struct DisplayTargets {
    ListKind list = ListKind::DiskQuery;
    // The shown list: its specification and its column codes (emptied by "Save", so that they
    // are built again from the new specification). The query node's for query lists, the
    // view's own for the disk catalog.
    std::string* currentSpec = nullptr;
    std::vector<int32_t>* currentColumns = nullptr;
    // The list's default specification (for the saved-query and parameter lists this is what
    // the list shows) and its default column sizes.
    std::string* defaultFields = nullptr;
    std::vector<uint16_t>* defaultSizes = nullptr;
    // Free SQL results: the names of the returned fields.
    std::vector<std::string> returnedFields;
};

class CDisplayCustomizer {
public:
    enum class Target { Current, Fields, Sizes };

    explicit CDisplayCustomizer(DisplayTargets targets);

    // The "Apply to:" entries and what each stands for.
    const std::vector<std::string>& Entries() const { return m_entries; }
    Target TargetOf(int entry) const;
    // The "Field:" names: the group entries, then the list's captions.
    std::vector<std::string> FieldNames() const;
    // The captions tokens are matched against (the returned fields for free SQL results).
    const std::vector<std::string>& Captions() const;

    // "Get current": the target's text.
    std::string Current(int entry) const;
    // "Save": applies the text to the target. False when the entry has no target.
    bool Save(int entry, const std::string& text);
    // "Add": the text the builder row appends.
    std::string Addition(const std::string& field, const std::string& size, int justify) const;

    // Whether a default (fields or sizes) was changed since the dialog opened.
    bool DefaultsChanged() const { return m_defaultsChanged; }

private:
    bool FreeSql() const { return m_targets.list == ListKind::FreeSql; }

    DisplayTargets m_targets;
    std::vector<std::string> m_entries;
    std::vector<Target> m_kinds;
    bool m_defaultsChanged = false;
};

}  // namespace tavik
