// The desktop's file dialog, run where every dialog runs (RunDialog), so that tests answer a
// file chooser as they answer any other dialog (AnswerFileDialog).
#pragma once

#include <QString>
#include <string>

class QDialog;
class QWidget;

namespace tavik {

enum class FileChoice { Open, Save, Folder };

// The file or folder chosen; empty when the user cancels.
QString ChooseFile(QWidget* parent, FileChoice choice, const QString& title, const QString& start,
                   const QString& filter = {}, const QString& defaultSuffix = {});

// For a dialog answer: when the dialog is a file chooser, chooses this path and accepts; false
// for any other dialog.
bool AnswerFileDialog(QDialog& dialog, const std::string& path);

}  // namespace tavik
