// Every modal dialog and message box of the program runs here. Tests answer them instead of a
// user: an answer is handed the dialog in place of its event loop and leaves the dialog's result
// (it may fill the dialog and call accept(), reject() or done()).
#pragma once

#include <functional>

class QDialog;

namespace tavik {

using DialogAnswer = std::function<void(QDialog&)>;

// Runs the dialog modally, or hands it to the waiting answer; its result code. A long loop's
// progress dialog gives way while it runs: nothing covers a question or a review.
int RunDialog(QDialog& dialog);
// True while RunDialog runs a dialog (or hands one to an answer).
bool DialogRunning();

// The answer of the next dialog only; answers queue up in the order they are given.
void SetNextAnswer(DialogAnswer answer);
// The answer of every dialog for which no next answer waits; empty: a user answers again.
void SetStandingAnswer(DialogAnswer answer);
// Forgets every answer (a test's end).
void ClearAnswers();

}  // namespace tavik
