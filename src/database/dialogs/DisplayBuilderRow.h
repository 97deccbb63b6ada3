// The builder row of display specifications: "Field:", "Justify:" (Default, Left, Center,
// Right), "Size:" and "Add", which appends " [field]" with its format to the display text
// (a line or a text box).
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tavik {

class CDisplayBuilderRow : public QWidget {
    Q_OBJECT
public:
    // Appends to `line` or, when that is null, to `box`.
    CDisplayBuilderRow(QLineEdit* line, QPlainTextEdit* box, QWidget* parent = nullptr);

    // The names "Field:" offers, and the captions a group entry ("-- All ... fields --")
    // stands for.
    void SetFields(const std::vector<std::string>& names, const std::vector<std::string>& captions);

    // Replaces what "Add" appends (field, size text, justification 0 to 3); returning nothing
    // leaves the box alone.
    using Addition =
        std::function<std::optional<std::string>(const std::string&, const std::string&, int)>;
    void SetAddition(Addition addition) { m_addition = std::move(addition); }

    QComboBox* FieldBox() const { return m_field; }
    QComboBox* JustifyBox() const { return m_justify; }
    QLineEdit* SizeBox() const { return m_size; }
    QPushButton* AddButton() const { return m_add; }

private:
    void Add();

    QLineEdit* m_line;
    QPlainTextEdit* m_box;
    QComboBox* m_field;
    QComboBox* m_justify;
    QLineEdit* m_size;
    QPushButton* m_add;
    std::vector<std::string> m_captions;
    Addition m_addition;
};

}  // namespace tavik
