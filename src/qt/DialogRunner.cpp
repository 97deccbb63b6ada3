#include "qt/DialogRunner.h"

#include <QApplication>
#include <QDialog>
#include <QProgressDialog>
#include <deque>

namespace tavik {

namespace {

struct Answers {
    std::deque<DialogAnswer> next;
    DialogAnswer standing;
};

int running = 0;

// Scoped: the count of running dialogs, and the progress dialogs hidden for them. The loop
// that owns a progress shows it again at its next step.
class CDialogTurn {
public:
    CDialogTurn() {
        ++running;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(w); progress && w->isVisible())
                progress->hide();
    }
    ~CDialogTurn() { --running; }
    CDialogTurn(const CDialogTurn&) = delete;
    CDialogTurn& operator=(const CDialogTurn&) = delete;
};

Answers& TheAnswers() {
    static Answers answers;
    return answers;
}

}  // namespace

int RunDialog(QDialog& dialog) {
    const CDialogTurn turn;
    Answers& answers = TheAnswers();
    DialogAnswer answer = answers.standing;
    if (!answers.next.empty()) {
        answer = std::move(answers.next.front());
        answers.next.pop_front();
    }
    if (!answer) return dialog.exec();
    answer(dialog);
    return dialog.result();
}

bool DialogRunning() {
    return running > 0;
}

void SetNextAnswer(DialogAnswer answer) {
    TheAnswers().next.push_back(std::move(answer));
}

void SetStandingAnswer(DialogAnswer answer) {
    TheAnswers().standing = std::move(answer);
}

void ClearAnswers() {
    TheAnswers() = {};
}

}  // namespace tavik
