#include "qt/DialogRunner.h"

#include <QDialog>
#include <deque>

namespace tavik {

namespace {

struct Answers {
    std::deque<DialogAnswer> next;
    DialogAnswer standing;
};

Answers& TheAnswers() {
    static Answers answers;
    return answers;
}

}  // namespace

int RunDialog(QDialog& dialog) {
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
