#include "qt/FileChooser.h"

#include <QFileDialog>

#include "qt/DialogRunner.h"

namespace tavik {

QString ChooseFile(QWidget* parent, FileChoice choice, const QString& title, const QString& start,
                   const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent, title, start, filter);
    switch (choice) {
        case FileChoice::Open:
            dialog.setFileMode(QFileDialog::ExistingFile);
            break;
        case FileChoice::Save:
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            break;
        case FileChoice::Folder:
            dialog.setFileMode(QFileDialog::Directory);
            dialog.setOption(QFileDialog::ShowDirsOnly);
            break;
    }
    if (!defaultSuffix.isEmpty()) dialog.setDefaultSuffix(defaultSuffix);
    if (RunDialog(dialog) != QDialog::Accepted) return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.front();
}

bool AnswerFileDialog(QDialog& dialog, const std::string& path) {
    auto* chooser = qobject_cast<QFileDialog*>(&dialog);
    if (!chooser) return false;
    chooser->selectFile(QString::fromStdString(path));
    dialog.done(QDialog::Accepted);  // without the checks of an accepted file name
    return true;
}

}  // namespace tavik
