#include "database/DisplayCustomizer.h"

#include <algorithm>

namespace tavik {

namespace {

const char* GroupEntry(ListKind list) {
    switch (list) {
        case ListKind::DiskCatalog:
            return "-- All catalog fields --";
        case ListKind::DiskQuery:
            return "-- All disk fields --";
        case ListKind::FileQuery:
            return "-- All file fields --";
        case ListKind::QueryList:
            return "-- All query fields --";
        case ListKind::ParamList:
            return "-- All param fields --";
        case ListKind::FreeSql:
            return "-- All returned fields --";
    }
    return "";
}

}  // namespace

CDisplayCustomizer::CDisplayCustomizer(DisplayTargets targets) : m_targets(std::move(targets)) {
    using T = Target;
    switch (m_targets.list) {
        case ListKind::DiskCatalog:
            m_entries = {"Current view", "Default catalog fields", "Default column sizes"};
            m_kinds = {T::Current, T::Fields, T::Sizes};
            break;
        case ListKind::DiskQuery:
            m_entries = {"Current query", "Default disk query fields", "Default column sizes"};
            m_kinds = {T::Current, T::Fields, T::Sizes};
            break;
        case ListKind::FileQuery:
            m_entries = {"Current query", "Default file query fields", "Default column sizes"};
            m_kinds = {T::Current, T::Fields, T::Sizes};
            break;
        case ListKind::QueryList:
            m_entries = {"Query list", "Default column sizes"};
            m_kinds = {T::Fields, T::Sizes};
            break;
        case ListKind::ParamList:
            m_entries = {"Parameter list", "Default column sizes"};
            m_kinds = {T::Fields, T::Sizes};
            break;
        case ListKind::FreeSql:
            m_entries = {"Current query", "Default column size"};
            m_kinds = {T::Current, T::Sizes};
            break;
    }
}

CDisplayCustomizer::Target CDisplayCustomizer::TargetOf(int entry) const {
    if (entry < 0 || static_cast<size_t>(entry) >= m_kinds.size()) return Target::Current;
    return m_kinds[static_cast<size_t>(entry)];
}

const std::vector<std::string>& CDisplayCustomizer::Captions() const {
    return FreeSql() ? m_targets.returnedFields : ListCaptions(m_targets.list);
}

std::vector<std::string> CDisplayCustomizer::FieldNames() const {
    std::vector<std::string> names = {GroupEntry(m_targets.list)};
    if (FreeSql()) names.push_back("-- By field number --");
    for (const std::string& caption : Captions())
        names.push_back(caption);
    return names;
}

std::string CDisplayCustomizer::Current(int entry) const {
    if (entry < 0 || static_cast<size_t>(entry) >= m_kinds.size()) return {};
    switch (TargetOf(entry)) {
        case Target::Current: {
            // The columns shown, written back; a list not shown yet has only its text.
            if (m_targets.currentColumns && !m_targets.currentColumns->empty()) {
                std::vector<uint32_t> codes;
                for (int32_t c : *m_targets.currentColumns)
                    codes.push_back(static_cast<uint32_t>(c));
                return WriteSpecification(codes, Captions(), FreeSql());
            }
            return m_targets.currentSpec ? *m_targets.currentSpec : std::string();
        }
        case Target::Fields:
            return m_targets.defaultFields ? *m_targets.defaultFields : std::string();
        case Target::Sizes: {
            if (!m_targets.defaultSizes) return {};
            const std::vector<uint16_t>& sizes = *m_targets.defaultSizes;
            // Every field of the list, each with the width and justification its size gives.
            size_t count = sizes.size();
            if (!FreeSql()) count = std::max(count, Captions().size());
            std::vector<uint32_t> codes;
            for (size_t i = 0; i < count; ++i) {
                const uint16_t size = i < sizes.size() ? sizes[i] : 0;
                codes.push_back(
                    ColumnCode(static_cast<int>(i), SizeWidth(size), SizeJustification(size)));
            }
            return WriteSpecification(codes, Captions(), FreeSql());
        }
    }
    return {};
}

bool CDisplayCustomizer::Save(int entry, const std::string& text) {
    if (entry < 0 || static_cast<size_t>(entry) >= m_kinds.size()) return false;
    switch (TargetOf(entry)) {
        case Target::Current:
            if (!m_targets.currentSpec) return false;
            *m_targets.currentSpec = text;
            if (m_targets.currentColumns) m_targets.currentColumns->clear();
            return true;
        case Target::Fields:
            if (!m_targets.defaultFields) return false;
            *m_targets.defaultFields = text;
            m_defaultsChanged = true;
            return true;
        case Target::Sizes:
            if (!m_targets.defaultSizes) return false;
            *m_targets.defaultSizes =
                SizesFromSpecification(text, Captions(), *m_targets.defaultSizes);
            m_defaultsChanged = true;
            return true;
    }
    return false;
}

std::string CDisplayCustomizer::Addition(const std::string& field, const std::string& size,
                                         int justify) const {
    return BuilderAddition(field, BuilderFormat(size, justify), Captions());
}

}  // namespace tavik
