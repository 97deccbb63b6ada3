// A titled row of exclusive choices for the export and merge dialogs; the button ids are the
// positions of the captions.
#pragma once

#include <QStringList>

class QButtonGroup;
class QGroupBox;
class QWidget;

namespace tavik {

QGroupBox* RadioGroup(const QString& title, const QStringList& captions, int checked,
                      QButtonGroup*& group, QWidget* owner);

}  // namespace tavik
