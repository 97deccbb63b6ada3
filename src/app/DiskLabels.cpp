#include "app/DiskLabels.h"

#include "app/PathRules.h"

namespace tavik {

namespace {
std::string WithoutTrailingBlanks(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}
}  // namespace

void CDiskNameClashes::Count(const CTreeModel& tree) {
    m_names.clear();
    tree.ForEach([this](CTreeItem& item) {
        if (IsImageKind(item.Kind())) ++m_names[WithoutTrailingBlanks(item.Text())];
    });
}

bool CDiskNameClashes::Clashes(const CTreeItem& item) const {
    if (!IsImageKind(item.Kind())) return false;
    const auto found = m_names.find(WithoutTrailingBlanks(item.Text()));
    return found != m_names.end() && found->second > 1;
}

std::string LabelWithFileName(const CTreeItem& item) {
    return WithoutTrailingBlanks(item.Text()) + " (" + LastComponent(item.Node().path) + ")";
}

}  // namespace tavik
