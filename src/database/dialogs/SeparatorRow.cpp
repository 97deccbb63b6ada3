#include "database/dialogs/SeparatorRow.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "qt/QtText.h"

namespace tavik {

namespace {

constexpr SeparatorChoice kChoices[] = {
    SeparatorChoice::Tab,      SeparatorChoice::CR,   SeparatorChoice::LF,   SeparatorChoice::CRLF,
    SeparatorChoice::FormFeed, SeparatorChoice::Null, SeparatorChoice::Other};

}  // namespace

CSeparatorRow::CSeparatorRow(SeparatorChoice initial, QWidget* parent)
    : QWidget(parent), m_choice(new QComboBox), m_other(new QLineEdit) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (SeparatorChoice c : kChoices)
        m_choice->addItem(SeparatorCaption(c), static_cast<int>(c));
    m_other->setMaximumWidth(80);
    layout->addWidget(m_choice);
    layout->addWidget(m_other);
    connect(m_choice, &QComboBox::currentIndexChanged, this, [this] {
        m_other->setEnabled(m_choice->currentData().toInt() ==
                            static_cast<int>(SeparatorChoice::Other));
    });
    SetChoice(initial);
}

void CSeparatorRow::SetChoice(SeparatorChoice choice, const std::string& other) {
    m_choice->setCurrentIndex(m_choice->findData(static_cast<int>(choice)));
    m_other->setText(Q(other));
    m_other->setEnabled(choice == SeparatorChoice::Other);
}

std::string CSeparatorRow::Bytes() const {
    const auto choice = static_cast<SeparatorChoice>(m_choice->currentData().toInt());
    return SeparatorBytes(choice, S(m_other->text()));
}

QFormLayout* FileAndSeparatorsForm(QLineEdit* path, std::function<std::string()> browse,
                                   CSeparatorRow* (&separators)[3]) {
    auto* form = new QFormLayout;
    auto* file = new QHBoxLayout;
    file->addWidget(path);
    auto* pick = new QPushButton("Browse");
    pick->setAutoDefault(false);
    QObject::connect(pick, &QPushButton::clicked, path, [path, browse] {
        const std::string chosen = browse ? browse() : std::string();
        if (!chosen.empty()) path->setText(Q(chosen));
    });
    file->addWidget(pick);
    form->addRow("File name:", file);
    const SeparatorChoice initial[] = {SeparatorChoice::Tab, SeparatorChoice::CRLF,
                                       SeparatorChoice::FormFeed};
    const char* labels[] = {"Field separator:", "Record separator:", "Table separator:"};
    for (int i = 0; i < 3; ++i) {
        separators[i] = new CSeparatorRow(initial[i]);
        form->addRow(labels[i], separators[i]);
    }
    return form;
}

}  // namespace tavik
