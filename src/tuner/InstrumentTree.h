#pragma once

#include <QTimer>
#include <QTreeWidget>

// The tree "Instrument Selection": families, instruments (tunings, bridges) and the positions
// to tune. Choosing a position tells the target object (WM_NOTE_SELECTED with its note). A
// mouse choice applies at once; a keyboard choice only once the cursor has rested for 200 ms,
// so browsing with the arrow keys applies just the position it stops on. The tree gives up its
// selection whenever it loses the keyboard focus, so choosing the same position later applies
// it again.
class CInstrumentTree : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kNoNote = 0x10000; // item data of families and instruments
    static constexpr int kKeyboardDelayMs = 200;

    CInstrumentTree(QObject* target, QWidget* parent = nullptr);

    // Fills the tree from the instrument catalogue; called once.
    void BuildInstrumentTree();

    // The note of an item, or kNoNote.
    static int NoteOf(const QTreeWidgetItem* item);
    // The instrument table's index of an instrument item, or -1.
    static int InstrumentOf(const QTreeWidgetItem* item);

    bool IsSelectionTimerRunning() const { return m_selectTimer.isActive(); }
    // While *hold is set, a pending keyboard choice waits, tick after tick; the first tick after
    // it clears applies it.
    void HoldSelectionTimerWhile(const bool* hold) { m_pHold = hold; }

signals:
    // An instrument item was chosen, by the same rules as a position.
    void InstrumentChosen(int instrument);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void OnSelectionChanged();
    void OnSelectTimer();
    void PostSelectedNote();

    QObject* m_pTarget;
    QTimer m_selectTimer;
    const bool* m_pHold = nullptr;
    bool m_bKeyboardMove = false;
};
