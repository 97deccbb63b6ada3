// The desktop side of the core's prompt seam: messages and questions become message boxes, the
// key polls of long loops read the keys the application saw go down and up, and a long loop's
// progress shows in a progress dialog whose Cancel counts as F4 held (the loop then asks its
// own "Abort ...?" question, and No carries on).
#pragma once

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
    void Progress(const std::string& what, int done, int total) override;

    // Closes the progress dialog; the main window calls it when a command has finished.
    void EndProgress();
    // The Insert key's toggle state ("INS" / "OVR").
    bool InsertMode() const { return m_insertMode; }

signals:
    void InsertModeChanged(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_parent;
    QPointer<QProgressDialog> m_progress;
    std::set<int> m_keysDown;  // Qt key codes currently held
    bool m_cancelPending = false;
    bool m_insertMode = false;
    unsigned long m_insertStamp = ~0UL;
};

}  // namespace tavik
