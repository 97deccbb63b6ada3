#include "qt/TextViewer.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QVBoxLayout>
#include <algorithm>

#include "base/UserPrompt.h"
#include "exchange/FileView.h"
#include "qt/FileChooser.h"
#include "qt/QtText.h"
#include "qt/QtUserPrompt.h"

namespace tavik {

namespace {

// Columns and lines the window opens with at most, and at least.
constexpr int kMinColumns = 40;
constexpr int kMaxColumns = 100;
constexpr int kMinLines = 12;
constexpr int kMaxLines = 32;
// Each further viewer opens this much lower and further right, so none hides another.
constexpr int kCascade = 28;

int LongestLine(const QPlainTextEdit& box) {
    int longest = 0;
    for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next())
        longest = std::max(longest, b.length());
    return longest;
}

}  // namespace

CTextViewer::CTextViewer(const QString& title, std::string text, const QString& saveName,
                         CUserPrompt& prompt, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      m_text(std::move(text)),
      m_saveName(saveName),
      m_prompt(prompt) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    m_box = new QPlainTextEdit;
    m_box->setFont(fixed);
    m_box->setReadOnly(true);
    m_box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_box->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_box->setTabStopDistance(QFontMetricsF(fixed).horizontalAdvance(QLatin1Char(' ')) * 8);
    m_box->setPlainText(BoxText(m_text));

    m_find = new QLineEdit;
    m_find->setPlaceholderText("Find");
    m_find->setClearButtonEnabled(true);
    m_matchCase = new QCheckBox("Match case");
    auto* next = new QPushButton("Find next");
    m_findStatus = new QLabel;
    connect(m_find, &QLineEdit::returnPressed, this, &CTextViewer::FindNext);
    connect(next, &QPushButton::clicked, this, &CTextViewer::FindNext);
    connect(m_find, &QLineEdit::textChanged, this, [this] { SetStatus({}); });
    // A hit's mark goes when the caret moves on (a find marks its new hit after moving).
    connect(m_box, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { m_box->setExtraSelections({}); });

    auto* findBar = new QHBoxLayout;
    findBar->addWidget(new QLabel("Find:"));
    findBar->addWidget(m_find, 1);
    findBar->addWidget(next);
    findBar->addWidget(m_matchCase);
    findBar->addWidget(m_findStatus, 1);
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_box, 1);
    layout->addLayout(findBar);
    setCentralWidget(central);

    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("Save &as...", QKeySequence::Save, this, &CTextViewer::SaveAs);
    file->addSeparator();
    file->addAction("&Close", QKeySequence(Qt::Key_Escape), this, &QWidget::close);
    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->addAction("&Copy", QKeySequence::Copy, this, &CTextViewer::Copy);
    edit->addAction("Copy &all", QKeySequence("Ctrl+Shift+C"), this, &CTextViewer::CopyAll);
    edit->addSeparator();
    edit->addAction("&Find...", QKeySequence::Find, this, &CTextViewer::ShowFindBar);
    edit->addAction("Find &next", QKeySequence::FindNext, this, &CTextViewer::FindNext);
    statusBar();

    // Wide enough for the longest line (a hexadecimal line is 70 columns), within limits, and
    // never larger than the screen.
    const QFontMetrics metrics(fixed);
    const int columns = std::clamp(LongestLine(*m_box) + 1, kMinColumns, kMaxColumns);
    const int lines = std::clamp(m_box->document()->blockCount(), kMinLines, kMaxLines);
    QSize size(metrics.horizontalAdvance(QLatin1Char('0')) * columns +
                   m_box->verticalScrollBar()->sizeHint().width() + 40,
               metrics.lineSpacing() * lines + 130);
    if (const QScreen* screen = parent ? parent->screen() : QApplication::primaryScreen()) {
        const QSize room = screen->availableSize() * 9 / 10;
        size = size.boundedTo(room);
    }
    resize(size);
    if (parent) {
        const auto open = parent->findChildren<CTextViewer*>(Qt::FindDirectChildrenOnly);
        const int step = kCascade * static_cast<int>((open.size() - 1) % 8);
        move(parent->window()->geometry().topLeft() + QPoint(60 + step, 60 + step));
    }
    m_box->setFocus();
}

void CTextViewer::ShowFindBar() {
    m_find->setFocus();
    m_find->selectAll();
}

void CTextViewer::SetFindText(const QString& text) {
    m_find->setText(text);
}

void CTextViewer::SetMatchCase(bool on) {
    m_matchCase->setChecked(on);
}

QString CTextViewer::FindStatus() const {
    return m_findStatus->text();
}

void CTextViewer::SetStatus(const QString& text) {
    m_findStatus->setText(text);
}

// The hit stays marked while the focus is in the find field, where a selection would fade.
void CTextViewer::MarkHit() {
    QTextEdit::ExtraSelection hit;
    hit.cursor = m_box->textCursor();
    hit.format.setBackground(QColor(255, 230, 90));
    m_box->setExtraSelections({hit});
}

bool CTextViewer::FindNext() {
    const QString needle = m_find->text();
    if (needle.isEmpty()) {
        ShowFindBar();
        return false;
    }
    QTextDocument::FindFlags flags;
    if (m_matchCase->isChecked()) flags |= QTextDocument::FindCaseSensitively;
    if (m_box->find(needle, flags)) {
        SetStatus({});
        MarkHit();
        return true;
    }
    const QTextCursor fromTop = m_box->document()->find(needle, 0, flags);
    if (!fromTop.isNull()) {
        m_box->setTextCursor(fromTop);
        SetStatus("Passed the end, found from the top");
        MarkHit();
        return true;
    }
    SetStatus(QString("\"%1\" not found").arg(needle));
    QApplication::beep();
    return false;
}

void CTextViewer::Copy() {
    const QString selected = m_box->textCursor().selectedText();
    if (selected.isEmpty()) return;
    // A selection spanning lines holds paragraph separators where the lines break.
    QString text = selected;
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    QApplication::clipboard()->setText(text);
}

void CTextViewer::CopyAll() {
    QApplication::clipboard()->setText(m_box->toPlainText());
    statusBar()->showMessage("Copied the whole text", 4000);
}

void CTextViewer::SaveAs() {
    const QString path = ChooseFile(this, FileChoice::Save, "Save view as", m_saveName,
                                    "Text files (*.txt);;All files (*)", "txt");
    if (path.isEmpty()) return;
    std::string reason;
    if (!SaveViewText(path.toStdString(), m_text, reason)) {
        // The message belongs over this window, not over the main window behind it.
        auto* desktop = dynamic_cast<CQtUserPrompt*>(&m_prompt);
        QWidget* owner = desktop ? desktop->ParentWidget() : nullptr;
        if (desktop) desktop->SetParentWidget(this);
        m_prompt.Message(
            S(QString("Could not save %1: %2").arg(path, QString::fromStdString(reason))),
            PromptIcon::Warning);
        if (desktop) desktop->SetParentWidget(owner);
        return;
    }
    m_saveName = path;
    statusBar()->showMessage("Saved to " + path, 6000);
}

}  // namespace tavik
