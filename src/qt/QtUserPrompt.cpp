#include "qt/QtUserPrompt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <limits>

#include "qt/DialogRunner.h"
#include "qt/QtText.h"

namespace tavik {

namespace {

// A loop that ends sooner shows no progress at all.
constexpr int kShowAfterMs = 300;

int QtKey(PolledKey key) {
    switch (key) {
        case PolledKey::F4:
            return Qt::Key_F4;
        case PolledKey::Escape:
            return Qt::Key_Escape;
        case PolledKey::Insert:
            return Qt::Key_Insert;
    }
    return 0;
}

}  // namespace

CQtUserPrompt::CQtUserPrompt(QWidget* parent) : m_parent(parent) {
    qApp->installEventFilter(this);
}

CQtUserPrompt::~CQtUserPrompt() {
    if (qApp) qApp->removeEventFilter(this);
}

void CQtUserPrompt::Message(const std::string& text, PromptIcon icon) {
    QMessageBox::Icon qi = QMessageBox::Information;
    if (icon == PromptIcon::Warning) qi = QMessageBox::Warning;
    if (icon == PromptIcon::Error) qi = QMessageBox::Critical;
    if (icon == PromptIcon::Question) qi = QMessageBox::Question;
    QMessageBox box(qi, QApplication::applicationName(), Q(text), QMessageBox::Ok, m_parent);
    RunDialog(box);
}

PromptAnswer CQtUserPrompt::Ask(const std::string& text, PromptButtons buttons) {
    QMessageBox::StandardButtons qb = QMessageBox::Ok;
    switch (buttons) {
        case PromptButtons::Ok:
            qb = QMessageBox::Ok;
            break;
        case PromptButtons::OkCancel:
            qb = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case PromptButtons::YesNo:
            qb = QMessageBox::Yes | QMessageBox::No;
            break;
        case PromptButtons::YesNoCancel:
            qb = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
    }
    // The question was asked because F4 was seen held (or Cancel pressed); either way the key
    // is no longer down once the user has answered with the mouse or the keyboard.
    m_cancelPending = false;
    m_keysDown.erase(Qt::Key_F4);
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), Q(text), qb, m_parent);
    switch (RunDialog(box)) {
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::No:
            return PromptAnswer::No;
        case QMessageBox::Ok:
            return PromptAnswer::Ok;
        default:
            return PromptAnswer::Cancel;
    }
}

bool CQtUserPrompt::KeyHeld(PolledKey key) {
    // Let key presses and the progress dialog's Cancel arrive.
    QApplication::processEvents();
    ShowProgressWhenDue();
    if (key == PolledKey::Insert) return m_insertMode;
    // One Cancel is one F4 seen by the loop whose progress it was pressed in.
    if (key == PolledKey::F4 && m_cancelPending && m_progress) {
        m_cancelPending = false;
        return true;
    }
    return m_keysDown.count(QtKey(key)) != 0;
}

void CQtUserPrompt::Status(const std::string& text) {
    emit StatusChanged(Q(text));
}

void CQtUserPrompt::ShowProgress(const std::string& what, int done, int total) {
    if (!m_progress) {
        m_progress = new QProgressDialog(m_parent);
        // While the loop runs the window takes no clicks that would start another operation.
        m_progress->setWindowModality(Qt::WindowModal);
        // The dialog shows when this prompt says so, never by its own timer: a timer would
        // show it over a question the loop asks meanwhile.
        m_progress->setMinimumDuration(std::numeric_limits<int>::max());
        m_progress->setAutoReset(false);
        m_progress->setAutoClose(false);
        m_progress->setWindowTitle(QApplication::applicationName());
        connect(m_progress, &QProgressDialog::canceled, this, [this] {
            m_cancelPending = true;
            if (m_progress) m_progress->reset();  // stays usable for a "No" answer
        });
        m_cancelPending = false;
        m_progressAge.start();
        // A step that takes long shows the dialog too, once events run (never over a dialog).
        QTimer::singleShot(kShowAfterMs, m_progress, [this] { ShowProgressWhenDue(); });
    }
    m_progress->setLabelText(Q(what));
    m_progress->setMaximum(total);
    m_progress->setValue(done);
    ShowProgressWhenDue();
    QApplication::processEvents();
}

void CQtUserPrompt::ShowProgressWhenDue() {
    if (!m_progress || m_progress->isVisible() || DialogRunning()) return;
    if (m_progressAge.elapsed() < kShowAfterMs) return;
    m_progress->show();
}

void CQtUserPrompt::EndProgress() {
    m_cancelPending = false;
    if (m_progress) {
        // Closing a progress dialog reports it as cancelled: that must not count as F4 held for
        // the next operation.
        disconnect(m_progress, nullptr, this, nullptr);
        m_progress->hide();
        delete m_progress;
    }
}

bool CQtUserPrompt::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (!ke->isAutoRepeat() && watched->isWidgetType()) {
            if (event->type() == QEvent::KeyPress) {
                m_keysDown.insert(ke->key());
                // A key event travels up the parents and passes this filter once per widget.
                if (ke->key() == Qt::Key_Insert && ke->timestamp() != m_insertStamp) {
                    m_insertStamp = ke->timestamp();
                    m_insertMode = !m_insertMode;
                    emit InsertModeChanged(m_insertMode);
                }
            } else {
                m_keysDown.erase(ke->key());
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tavik
