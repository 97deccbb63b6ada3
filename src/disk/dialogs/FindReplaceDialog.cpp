#include "disk/dialogs/FindReplaceDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/QtText.h"

namespace tavik {

namespace {

QCheckBox* Check(const char* caption, bool on) {
    auto* box = new QCheckBox(caption);
    box->setChecked(on);
    return box;
}

}  // namespace

QString CFindReplaceDialog::ConvertPattern(const QString& text, bool toHex) {
    const std::string bytes = S(text);
    return Q(toHex ? AsciiToHex(bytes) : HexToAscii(bytes));
}

void CFindReplaceDialog::AddPattern(QGridLayout* grid, int row, const char* caption,
                                    Pattern& pattern, const std::string& text, bool hex,
                                    const std::string& wildcard) {
    pattern.text = new QLineEdit(Q(text));
    pattern.type = new QComboBox;
    pattern.type->addItems({"Hex", "Ascii"});
    pattern.type->setCurrentIndex(hex ? 0 : 1);
    pattern.hex = hex;
    pattern.wildcard = new QLineEdit(Q(wildcard));
    pattern.wildcard->setMaxLength(1);
    pattern.wildcard->setFixedWidth(pattern.wildcard->fontMetrics().horizontalAdvance("MMM"));
    grid->addWidget(new QLabel(caption), row, 0);
    grid->addWidget(pattern.text, row, 1, 1, 5);
    grid->addWidget(new QLabel("Type:"), row + 1, 1, Qt::AlignRight);
    grid->addWidget(pattern.type, row + 1, 2);
    grid->addWidget(new QLabel("Wildcard:"), row + 1, 3, Qt::AlignRight);
    grid->addWidget(pattern.wildcard, row + 1, 4);
    Pattern* p = &pattern;
    connect(pattern.type, &QComboBox::currentIndexChanged, this, [p](int index) {
        const bool toHex = index == 0;
        if (toHex == p->hex) return;
        p->text->setText(ConvertPattern(p->text->text(), toHex));
        p->hex = toHex;
    });
}

CFindReplaceDialog::CFindReplaceDialog(const SearchForm& form, const QString& fileLabel,
                                       bool insideSet, QWidget* parent)
    : QDialog(parent), m_insideFile(form.insideFile) {
    setWindowTitle("Find and replace");
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    AddPattern(grid, 0, "Find what:", m_find, form.find, form.findHex, form.findWildcard);
    AddPattern(grid, 2, "Replace with:", m_replace, form.replace, form.replaceHex,
               form.replaceWildcard);
    m_first = new QLineEdit(Q(form.first));
    m_last = new QLineEdit(Q(form.last));
    grid->addWidget(new QLabel("Sectors:"), 4, 0);
    grid->addWidget(m_first, 4, 1, 1, 2);
    grid->addWidget(new QLabel("To:"), 4, 3, Qt::AlignRight);
    grid->addWidget(m_last, 4, 4, 1, 2);
    m_format = new QComboBox;
    m_format->setEditable(true);
    m_format->addItems({"Any", "FDR", "DV80", "DF80", "IV254"});
    m_format->setEditText(Q(form.format));
    grid->addWidget(new QLabel("Sector format:"), 5, 0);
    grid->addWidget(m_format, 5, 1, 1, 2);
    layout->addLayout(grid);

    auto* where = new QGroupBox;
    auto* checks = new QGridLayout(where);
    m_cross = Check("Cross boundaries", form.crossBoundaries);
    m_inside = Check("Inside:", insideSet && !fileLabel.isEmpty());
    m_inside->setEnabled(!fileLabel.isEmpty());
    auto* label = new QLabel(fileLabel.isEmpty() ? QString("No file selected") : fileLabel);
    label->setObjectName("fileLabel");
    m_markedFree = Check("Marked free", form.markedFree);
    m_markedUsed = Check("Marked used", form.markedUsed);
    m_inFdrs = Check("In FDRs", form.inFdrs);
    m_inFiles = Check("In files", form.inFiles);
    m_notUsed = Check("Not used", form.notUsed);
    checks->addWidget(m_cross, 0, 0);
    checks->addWidget(m_inside, 0, 1);
    checks->addWidget(label, 0, 2);
    checks->addWidget(m_markedFree, 1, 0);
    checks->addWidget(m_markedUsed, 1, 1);
    checks->addWidget(m_inFdrs, 2, 0);
    checks->addWidget(m_inFiles, 2, 1);
    checks->addWidget(m_notUsed, 2, 2);
    layout->addWidget(where);

    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, SearchMode> kModes[] = {{"Find next", SearchMode::FindNext},
                                                         {"Find all", SearchMode::FindAll},
                                                         {"Replace", SearchMode::Replace},
                                                         {"Replace all", SearchMode::ReplaceAll}};
    for (const auto& [caption, mode] : kModes) {
        auto* button = new QPushButton(caption);
        const SearchMode chosen = mode;
        connect(button, &QPushButton::clicked, this, [this, chosen] { Choose(chosen); });
        if (mode == SearchMode::FindNext) button->setDefault(true);
        buttons->addWidget(button);
    }
    auto* cancel = new QPushButton("Cancel");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

void CFindReplaceDialog::Choose(SearchMode mode) {
    m_mode = mode;
    accept();
}

bool CFindReplaceDialog::Inside() const {
    return m_inside->isChecked();
}

SearchForm CFindReplaceDialog::Form() const {
    SearchForm form;
    form.find = S(m_find.text->text());
    form.findHex = m_find.type->currentIndex() == 0;
    form.findWildcard = S(m_find.wildcard->text());
    form.replace = S(m_replace.text->text());
    form.replaceHex = m_replace.type->currentIndex() == 0;
    form.replaceWildcard = S(m_replace.wildcard->text());
    form.first = S(m_first->text());
    form.last = S(m_last->text());
    form.crossBoundaries = m_cross->isChecked();
    form.insideFile = Inside() ? m_insideFile : 0;
    form.markedFree = m_markedFree->isChecked();
    form.markedUsed = m_markedUsed->isChecked();
    form.inFdrs = m_inFdrs->isChecked();
    form.inFiles = m_inFiles->isChecked();
    form.notUsed = m_notUsed->isChecked();
    form.format = S(m_format->currentText());
    return form;
}

}  // namespace tavik
