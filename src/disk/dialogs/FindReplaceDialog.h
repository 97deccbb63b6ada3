// "Find and replace": the pattern, its replacement, the range of positions and the filters of a
// sector search. The buttons choose the mode of the run; the fields are read by the caller.
#pragma once

#include <QDialog>

#include "disk/SectorSearch.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;

namespace tavik {

class CFindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    // fileLabel: the name of the file that can be searched inside ("" for none: the box is
    // disabled); insideSet: whether that file is active.
    CFindReplaceDialog(const SearchForm& form, const QString& fileLabel, bool insideSet,
                       QWidget* parent = nullptr);

    SearchForm Form() const;
    bool Inside() const;
    SearchMode Mode() const { return m_mode; }

    // The type switch of a pattern field (also used by tests).
    static QString ConvertPattern(const QString& text, bool toHex);

private:
    struct Pattern {
        QLineEdit* text;
        QComboBox* type;
        QLineEdit* wildcard;
        bool hex = false;
    };
    void AddPattern(QGridLayout* grid, int row, const char* caption, Pattern& pattern,
                    const std::string& text, bool hex, const std::string& wildcard);
    void Choose(SearchMode mode);

    Pattern m_find;
    Pattern m_replace;
    QLineEdit* m_first;
    QLineEdit* m_last;
    QCheckBox* m_cross;
    QCheckBox* m_inside;
    QCheckBox* m_markedFree;
    QCheckBox* m_markedUsed;
    QCheckBox* m_inFdrs;
    QCheckBox* m_inFiles;
    QCheckBox* m_notUsed;
    QComboBox* m_format;
    int m_insideFile = 0;
    SearchMode m_mode = SearchMode::FindNext;
};

}  // namespace tavik
