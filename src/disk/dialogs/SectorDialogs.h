// The sector editor's dialogs. "Read sector" asks for one sector and serves, titled otherwise,
// "Save sector as..." (with a destination) and "Mark one or more sectors" (with a last sector
// and the choice of marking used or free); "Compare sectors" and "Copy sectors" ask for a run
// on this disk and a run on this disk or the target disk. The dialogs hand back the typed texts;
// the editor reads the numbers in them.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace tavik {

class CSectorNumberDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Read, SaveAs, Mark };
    // Mark's second way out: mark the sectors free instead of used.
    static constexpr int kMarkFree = 2;

    CSectorNumberDialog(Kind kind, int sector, QWidget* parent = nullptr);

    QString SectorText() const;
    void SetSectorText(const QString& text);
    QString LastText() const;  // Mark only
    void SetLastText(const QString& text);
    bool ToTarget() const;  // Save as only
    void SetToTarget(bool target);
    // Mark: result() is kMarkFree after "Free".
    bool MarkFree() const { return result() == kMarkFree; }
    void PressFree() { done(kMarkFree); }

private:
    QLineEdit* m_sector;
    QLineEdit* m_last = nullptr;
    QComboBox* m_destination = nullptr;
};

// "Compare sectors" and "Copy sectors": a source run, a destination, a destination run, and for
// copying "Mark as used".
class CSectorRunDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Compare, Copy };
    CSectorRunDialog(Kind kind, const QString& sourceName, int sector, bool targetSet,
                     QWidget* parent = nullptr);

    QString FromText() const;
    QString ToText() const;
    QString DestinationFromText() const;
    QString DestinationToText() const;
    bool ToTarget() const;
    bool MarkUsed() const;  // Copy only
    void SetTexts(const QString& from, const QString& to, const QString& destinationFrom,
                  const QString& destinationTo);
    void SetToTarget(bool target);
    void SetMarkUsed(bool on);

private:
    QLineEdit* m_from;
    QLineEdit* m_to;
    QComboBox* m_destination;
    QLineEdit* m_destinationFrom;
    QLineEdit* m_destinationTo;
    QCheckBox* m_markUsed = nullptr;
};

}  // namespace tavik
