// "Customized display": edits the columns of the list shown, or the list's defaults. "Apply to:"
// chooses the target, "Get current" fills the text box from it, the builder row appends
// fields, "Save" applies the text box to the target. OK applies an edited text box as "Save"
// does; the caller writes the defaults away and redraws the list whichever way it closes.
#pragma once

#include <QDialog>

#include "database/DisplayCustomizer.h"

class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace tavik {

class CDisplayBuilderRow;
class CUserPrompt;

class CCustomDisplayDialog : public QDialog {
    Q_OBJECT
public:
    CCustomDisplayDialog(CUserPrompt& prompt, DisplayTargets targets, QWidget* parent = nullptr);

    const CDisplayCustomizer& Customizer() const { return m_customizer; }

    void accept() override;

    QComboBox* ApplyToBox() const { return m_applyTo; }
    QPushButton* GetCurrentButton() const { return m_getCurrent; }
    CDisplayBuilderRow* Builder() const { return m_builder; }
    QPlainTextEdit* TextBox() const { return m_text; }
    QPushButton* SaveButton() const { return m_save; }

private:
    void GetCurrent();
    bool Save();

    CUserPrompt& m_prompt;
    CDisplayCustomizer m_customizer;
    bool m_edited = false;  // the text box changed since it was filled or saved
    QComboBox* m_applyTo;
    QPushButton* m_getCurrent;
    CDisplayBuilderRow* m_builder;
    QPlainTextEdit* m_text;
    QPushButton* m_save;
};

}  // namespace tavik
