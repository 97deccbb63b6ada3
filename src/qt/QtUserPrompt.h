// The desktop side of the core's prompt seam: messages and questions become message boxes, the
// key polls of long loops read the keys the application saw go down and up, and a long loop's
// progress shows in a progress dialog whose Cancel counts as F4 held (the loop then asks its
// own "Abort ...?" question, and No carries on). The dialog lives exactly as long as the loop's
// progress scope, gives way to every dialog that runs meanwhile, and takes its Cancel with it.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <set>

#include "base/UserPrompt.h"

class QProgressDialog;
class QWidget;

namespace tavik {

class CQtUserPrompt : public QObject, public CUserPrompt {
    Q_OBJECT
public:
    // parent: the window message boxes and the progress dialog belong to (may come later).
    explicit CQtUserPrompt(QWidget* parent = nullptr);
    void SetParentWidget(QWidget* parent) { m_parent = parent; }
    QWidget* ParentWidget() const { return m_parent; }
    ~CQtUserPrompt() override;

    void Message(const std::string& text, PromptIcon icon = PromptIcon::Information) override;
    PromptAnswer Ask(const std::string& text, PromptButtons buttons) override;
    bool KeyHeld(PolledKey key) override;
    void Status(const std::string& text) override;

    // The Insert key's toggle state ("INS" / "OVR").
    bool InsertMode() const { return m_insertMode; }

signals:
    void InsertModeChanged(bool on);
    void StatusChanged(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void ShowProgress(const std::string& what, int done, int total) override;
    void EndProgress() override;

private:
    // Shows the dialog once the loop has run a moment, unless a dialog runs over the window.
    void ShowProgressWhenDue();

    QWidget* m_parent;
    QPointer<QProgressDialog> m_progress;
    QElapsedTimer m_progressAge;
    std::set<int> m_keysDown;  // Qt key codes currently held
    bool m_cancelPending = false;
    bool m_insertMode = false;
    unsigned long m_insertStamp = ~0UL;
};

}  // namespace tavik
