#include "database/dialogs/RadioGroup.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>

namespace tavik {

QGroupBox* RadioGroup(const QString& title, const QStringList& captions, int checked,
                      QButtonGroup*& group, QWidget* owner) {
    auto* box = new QGroupBox(title);
    auto* layout = new QHBoxLayout(box);
    group = new QButtonGroup(owner);
    for (int i = 0; i < captions.size(); ++i) {
        auto* b = new QRadioButton(captions[i]);
        b->setChecked(i == checked);
        group->addButton(b, i);
        layout->addWidget(b);
    }
    layout->addStretch();
    return box;
}

}  // namespace tavik
