// "Parameter not found": the value of a parameter that neither Params nor the built-in names
// give, how to read it (Auto, Text, Number, Boolean) and whether to keep it in Params. The
// desktop program's answer to the resolver's question (CQtParamAsker).
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "database/query/ParamResolver.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace tavik {

class CUserPrompt;

class CParamNotFoundDialog : public QDialog {
    Q_OBJECT
public:
    CParamNotFoundDialog(CUserPrompt& prompt, const std::string& name, QWidget* parent = nullptr);

    ParamAnswer Answer() const;
    // The value the answer gives, as the resolver reads it.
    ParamValue Value() const { return ReadAnswer(Answer()); }

    void accept() override;

    QLabel* NameLabel() const { return m_name; }
    QLineEdit* ValueBox() const { return m_value; }
    QRadioButton* ChoiceButton(ParamChoice choice) const;
    QCheckBox* SaveBox() const { return m_save; }

private:
    CUserPrompt& m_prompt;
    QLabel* m_name;
    QLineEdit* m_value;
    QRadioButton* m_choices[4];
    QCheckBox* m_save;
};

// Asks with the dialog.
class CQtParamAsker : public CParamAsker {
public:
    CQtParamAsker(CUserPrompt& prompt, QWidget* parent) : m_prompt(prompt), m_parent(parent) {}

    bool AskParameter(const std::string& name, ParamAnswer& answer) override;

private:
    CUserPrompt& m_prompt;
    QWidget* m_parent;
};

}  // namespace tavik
