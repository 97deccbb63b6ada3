#include "database/dialogs/RecordDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/CInteger.h"
#include "base/UserPrompt.h"
#include "database/DisplaySpec.h"
#include "database/RecordSet.h"
#include "qt/QtText.h"

namespace tavik {

namespace {

bool IsNumber(DbType type) {
    return type == DbType::Byte || type == DbType::Short || type == DbType::Long;
}

}  // namespace

CRecordDialog::CRecordDialog(Kind kind, CRecordSet& set, CUserPrompt& prompt, bool withFinish,
                             QWidget* parent)
    : QDialog(parent), m_kind(kind), m_set(set), m_prompt(prompt), m_expand(new QTreeWidget) {
    setWindowTitle(kind == Kind::Disk ? "Disk record" : "File record");
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* form = new QFormLayout;
    for (int i = 0; i < set.GetFieldCount(); ++i) {
        const DbFieldInfo& info = set.GetFieldInfo(i);
        auto* edit = new QLineEdit;
        // The counter is the engine's.
        if (info.name == "ID") edit->setReadOnly(true);
        form->addRow(Q(info.name) + ":", edit);
        m_fields.push_back(edit);
    }
    left->addLayout(form);
    auto* moves = new QHBoxLayout;
    auto add = [&](QBoxLayout* row, const char* text, auto slot) {
        auto* b = new QPushButton(text);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        row->addWidget(b);
        return b;
    };
    add(moves, "First", [this] { MoveTo(First); });
    add(moves, "Previous", [this] { MoveTo(Previous); });
    add(moves, "Next", [this] { MoveTo(Next); });
    add(moves, "Last", [this] { MoveTo(Last); });
    left->addLayout(moves);
    auto* actions = new QHBoxLayout;
    add(actions, "Refresh", [this] { Refresh(); });
    add(actions, "Delete", [this] { DeleteRecord(); });
    m_expandButton = add(actions, "Expand >>", [this] { ToggleExpand(); });
    actions->addStretch();
    if (withFinish)
        add(actions, "Finish", [this] {
            m_finished = true;
            accept();
        });
    add(actions, "OK", [this] { accept(); })->setDefault(true);
    left->addLayout(actions);
    layout->addLayout(left);

    m_expand->setRootIsDecorated(false);
    m_expand->setHeaderLabels(kind == Kind::Disk ? QStringList{"File name", "Type", "Size", "ID"}
                                                 : QStringList{"Disk name", "ID", "Drive"});
    m_expand->setMinimumWidth(300);
    m_expand->hide();
    layout->addWidget(m_expand);
    Load();
}

QLineEdit* CRecordDialog::Field(const std::string& column) const {
    const int i = m_set.FieldIndex(column);
    return i < 0 ? nullptr : m_fields[static_cast<size_t>(i)];
}

void CRecordDialog::Load() {
    m_loaded.clear();
    const bool onRow = m_set.IsOpen() && !m_set.IsEOF() && !m_set.IsBOF();
    for (int i = 0; i < static_cast<int>(m_fields.size()); ++i) {
        const std::string text =
            onRow ? ValueToText(m_set.GetFieldValue(i), m_set.GetFieldInfo(i).type) : "";
        m_loaded.push_back(text);
        m_fields[static_cast<size_t>(i)]->setText(Q(text));
        m_fields[static_cast<size_t>(i)]->setEnabled(onRow);
    }
    if (m_expand->isVisible()) FillExpand();
}

bool CRecordDialog::Store() {
    if (!m_set.IsOpen() || m_set.IsEOF() || m_set.IsBOF()) return true;
    std::vector<int> changed;
    for (int i = 0; i < static_cast<int>(m_fields.size()); ++i)
        if (S(m_fields[static_cast<size_t>(i)]->text()) != m_loaded[static_cast<size_t>(i)])
            changed.push_back(i);
    if (changed.empty()) return true;
    const int idField = m_set.FieldIndex("ID");
    if (idField < 0 || m_set.Table().empty()) return true;
    const std::string criteria = "[ID]=" + std::to_string(m_set.GetFieldValue(idField).AsInteger());
    // The row is written through a set of its own: a record class would put its members back
    // over values set by position.
    CRecordSet row(m_set.Database());
    if (!row.Open("SELECT ALL * FROM [" + m_set.Table() + "] WHERE " + criteria) || row.IsEOF() ||
        !row.Edit()) {
        m_prompt.Message(row.ErrorText(), PromptIcon::Error);
        return false;
    }
    for (int i : changed) {
        const std::string text = S(m_fields[static_cast<size_t>(i)]->text());
        const DbType type = m_set.GetFieldInfo(i).type;
        CDbValue value = CDbValue::Null();
        if (type == DbType::Boolean) {
            const QString t = Q(text).trimmed().toUpper();
            value = CDbValue::Bool(t == "YES" || t == "TRUE");
        } else if (IsNumber(type)) {
            if (const std::optional<long> n = ReadCInteger(text)) value = CDbValue::Integer(*n);
        } else if (!text.empty()) {
            value = CDbValue::Text(text);
        }
        row.SetFieldValue(m_set.GetFieldInfo(i).name, value);
    }
    if (!row.Update()) {
        m_prompt.Message(row.ErrorText(), PromptIcon::Error);
        row.CancelUpdate();
        return false;
    }
    m_set.FindFirst(criteria);  // reads the row again
    Load();
    return true;
}

void CRecordDialog::MoveTo(Move move) {
    if (!Store()) return;
    switch (move) {
        case First:
            m_set.MoveFirst();
            break;
        case Previous:
            if (!m_set.MovePrev()) m_set.MoveFirst();
            break;
        case Next:
            if (!m_set.MoveNext()) m_set.MoveLast();
            break;
        case Last:
            m_set.MoveLast();
            break;
    }
    Load();
}

void CRecordDialog::Refresh() {
    Load();
}

void CRecordDialog::DeleteRecord() {
    if (!m_set.IsOpen() || m_set.IsEOF() || m_set.IsBOF()) return;
    if (m_prompt.Ask("Delete this record from the database?", PromptButtons::OkCancel) !=
        PromptAnswer::Ok)
        return;
    if (!m_set.Delete()) {
        m_prompt.Message(m_set.ErrorText(), PromptIcon::Error);
        return;
    }
    if (!m_set.MoveNext()) m_set.MoveLast();
    Load();
}

void CRecordDialog::ToggleExpand() {
    const bool show = m_expand->isHidden();
    m_expand->setVisible(show);
    m_expandButton->setText(show ? "<< Collapse" : "Expand >>");
    if (show) FillExpand();
}

void CRecordDialog::FillExpand() {
    m_expand->clear();
    const int idField = m_set.FieldIndex("ID");
    if (idField < 0 || m_set.IsEOF() || m_set.IsBOF()) return;
    const std::string id = std::to_string(m_set.GetFieldValue(idField).AsInteger());
    CRecordSet other(m_set.Database());
    const bool disk = m_kind == Kind::Disk;
    const std::string sql =
        disk ? "SELECT t1.* FROM [Files] t1 INNER JOIN [DiskFileMM] t2 ON t2.[FileID] = t1.[ID] "
               "WHERE t2.[DiskID]=" +
                   id
             : "SELECT t1.* FROM [Disks] t1 INNER JOIN [DiskFileMM] t2 ON t2.[DiskID] = t1.[ID] "
               "WHERE t2.[FileID]=" +
                   id;
    if (!other.Open(sql)) return;
    const std::vector<std::string> columns =
        disk ? std::vector<std::string>{"File name", "Type", "Size", "ID"}
             : std::vector<std::string>{"Disk name", "ID", "Drive"};
    for (other.MoveFirst(); !other.IsEOF(); other.MoveNext()) {
        auto* item = new QTreeWidgetItem(m_expand);
        for (size_t c = 0; c < columns.size(); ++c) {
            const int f = other.FieldIndex(columns[c]);
            if (f >= 0)
                item->setText(static_cast<int>(c),
                              Q(ValueToText(other.GetFieldValue(f), other.GetFieldInfo(f).type)));
        }
    }
}

void CRecordDialog::accept() {
    if (Store()) QDialog::accept();
}

}  // namespace tavik
