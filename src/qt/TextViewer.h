// The program's own viewer: a window that shows one text (a file's view as text, in
// hexadecimal or as a BASIC listing) in the fixed-pitch font, with find, copy and "Save as".
// It knows nothing of disks: it is handed the text, its title and a proposed PC file name.
// Viewers are separate windows, not modal, any number at once; each belongs to the window that
// opened it and goes with it. Escape closes one.
#pragma once

#include <QMainWindow>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace tavik {

class CUserPrompt;

class CTextViewer : public QMainWindow {
    Q_OBJECT
public:
    // text: code page 1252 as the core makes it (kept as it is for "Save as"); saveName: the
    // path "Save as" proposes. Failures are told through the prompt.
    CTextViewer(const QString& title, std::string text, const QString& saveName,
                CUserPrompt& prompt, QWidget* parent);

    // Finds the find field's text after the selection (or the caret), from the top again when
    // it is not found below. False, and the find bar says so, when it is nowhere.
    bool FindNext();
    void SetFindText(const QString& text);
    void SetMatchCase(bool on);
    // The selection, or everything, on the clipboard.
    void Copy();
    void CopyAll();
    // Asks for a PC file and writes the text into it.
    void SaveAs();

    QPlainTextEdit* TextBox() const { return m_box; }
    QString FindStatus() const;
    const std::string& Text() const { return m_text; }

private:
    void ShowFindBar();
    void SetStatus(const QString& text);
    void MarkHit();

    std::string m_text;
    QString m_saveName;
    CUserPrompt& m_prompt;
    QPlainTextEdit* m_box;
    QLineEdit* m_find;
    QCheckBox* m_matchCase;
    QLabel* m_findStatus;
};

}  // namespace tavik
