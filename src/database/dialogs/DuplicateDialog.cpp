#include "database/dialogs/DuplicateDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/CInteger.h"
#include "qt/QtText.h"

namespace tavik {

CDuplicateDialog::CDuplicateDialog(DuplicateMode mode, const std::vector<DuplicateCandidate>& rows,
                                   std::function<bool(int)> checkId, CUserPrompt& prompt,
                                   QWidget* parent)
    : QDialog(parent),
      m_mode(mode),
      m_prompt(prompt),
      m_checkId(std::move(checkId)),
      m_list(new QTreeWidget) {
    setWindowTitle("Duplicate found");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(DuplicateHeading(mode)));

    const bool files = mode == IdenticalFile;
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    if (files) {
        m_list->setHeaderLabels({"File name"});
        m_list->header()->resizeSection(0, 100);
    } else {
        m_list->setHeaderLabels({"Disk name", "Size", "ID", "Type", "Drive"});
        const int widths[] = {100, 40, 40, 50, 400};
        for (int c = 0; c < 5; ++c)
            m_list->header()->resizeSection(c, widths[c]);
    }
    for (const DuplicateCandidate& r : rows) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setData(0, Qt::UserRole, r.id);
        item->setText(0, Q(r.name));
        if (!files) {
            item->setText(1, QString::number(r.size));
            item->setText(2, QString::number(r.id));
            item->setText(3, Q(r.driveType));
            item->setText(4, Q(r.drive));
        }
    }
    if (!files && m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(m_list->topLevelItemCount() - 1));
    layout->addWidget(m_list);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* text, DuplicateButton b) {
        auto* pb = new QPushButton(text);
        connect(pb, &QPushButton::clicked, this, [this, b] { Press(b); });
        buttons->addWidget(pb);
        return pb;
    };
    switch (mode) {
        case SelectDiskToUpdate: {
            button("Overwrite", DuplicateButton::Overwrite)->setDefault(true);
            button("Cancel", DuplicateButton::Cancel);
            buttons->addSpacing(12);
            buttons->addWidget(new QLabel("ID:"));
            m_id = new QLineEdit;
            m_id->setMaximumWidth(80);
            buttons->addWidget(m_id);
            auto* check = new QPushButton("Check ID");
            connect(check, &QPushButton::clicked, this, [this] { CheckId(); });
            buttons->addWidget(check);
            break;
        }
        case IdenticalFile:
            button("Create new entry", DuplicateButton::CreateNew);
            button("Use old entry", DuplicateButton::UseOld)->setDefault(true);
            button("Update old", DuplicateButton::UpdateOld);
            m_forAll = new QCheckBox("Do this for all files on this disk");
            layout->addWidget(m_forAll);
            break;
        default:
            button("Create new entry", DuplicateButton::CreateNew);
            button("Cancel", DuplicateButton::Cancel)->setDefault(true);
            break;
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    resize(files ? 320 : 680, 260);
}

void CDuplicateDialog::Press(DuplicateButton button) {
    if (button == DuplicateButton::Overwrite && m_id && !m_id->text().trimmed().isEmpty() &&
        !CheckId())
        return;  // a typed ID must name a disk
    m_button = button;
    if (button == DuplicateButton::Cancel)
        reject();
    else
        accept();
}

bool CDuplicateDialog::CheckId() {
    if (!m_id) return false;
    const std::optional<long> id = ReadCInteger(m_id->text().trimmed().toStdString());
    if (id && m_checkId && m_checkId(static_cast<int>(*id))) return true;
    m_prompt.Message(kIdNotFound, PromptIcon::Information);
    return false;
}

DuplicateAnswer CDuplicateDialog::Answer() const {
    DuplicateAnswer a;
    a.button = m_button;
    if (m_id && !m_id->text().trimmed().isEmpty()) {
        if (const std::optional<long> id = ReadCInteger(m_id->text().trimmed().toStdString()))
            a.id = static_cast<int>(*id);
    } else if (QTreeWidgetItem* item = m_list->currentItem()) {
        a.id = item->data(0, Qt::UserRole).toInt();
    }
    a.forAll = m_forAll && m_forAll->isChecked();
    return a;
}

}  // namespace tavik
