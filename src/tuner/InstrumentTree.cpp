#include "InstrumentTree.h"

#include "InstrumentTable.h"
#include "TreeIcons.h"
#include "TunerMessages.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

constexpr int kNoteRole = Qt::UserRole;
constexpr int kInstrumentRole = Qt::UserRole + 1;

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CInstrumentTree::CInstrumentTree(QObject* target, QWidget* parent)
    : QTreeWidget(parent), m_pTarget(target) {
    setObjectName("instrumentTree");
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    m_selectTimer.setSingleShot(true);
    m_selectTimer.setInterval(kKeyboardDelayMs);
    connect(&m_selectTimer, &QTimer::timeout, this, &CInstrumentTree::OnSelectTimer);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CInstrumentTree::OnSelectionChanged);
}

void CInstrumentTree::BuildInstrumentTree() {
    const QIcon instrumentIcon = InstrumentIcon();
    const QIcon positionIcon = PositionIcon();
    auto addItem = [](QTreeWidgetItem* item, const QString& text, const QIcon& icon, int data) {
        item->setText(0, text);
        item->setIcon(0, icon);
        item->setData(0, kNoteRole, data);
        return item;
    };

    std::string_view previousGroup;
    QTreeWidgetItem* family = nullptr;
    int index = 0;
    for (const InstrumentRecord& record : InstrumentTable) {
        if (record.HasGroup()) {
            if (!family || record.group != previousGroup) {
                family = addItem(new QTreeWidgetItem(this), FromUtf8(record.group), instrumentIcon,
                                 kNoNote);
                previousGroup = record.group;
            }
        } else {
            family = nullptr;
        }
        QTreeWidgetItem* instrument =
            family ? new QTreeWidgetItem(family) : new QTreeWidgetItem(this);
        addItem(instrument, FromUtf8(record.instrument), instrumentIcon, kNoNote);
        instrument->setData(0, kInstrumentRole, index++);
        for (const PositionEntry& position : record.positions) {
            addItem(new QTreeWidgetItem(instrument), FromUtf8(position.label), positionIcon,
                    position.note);
        }
    }
}

int CInstrumentTree::NoteOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kNoteRole).toInt() : kNoNote;
}

int CInstrumentTree::InstrumentOf(const QTreeWidgetItem* item) {
    const QVariant index = item ? item->data(0, kInstrumentRole) : QVariant();
    return index.isValid() ? index.toInt() : -1;
}

void CInstrumentTree::keyPressEvent(QKeyEvent* event) {
    m_bKeyboardMove = true;
    QTreeWidget::keyPressEvent(event);
    m_bKeyboardMove = false;
}

void CInstrumentTree::focusOutEvent(QFocusEvent* event) {
    clearSelection();
    QTreeWidget::focusOutEvent(event);
}

void CInstrumentTree::OnSelectionChanged() {
    if (m_bKeyboardMove) {
        m_selectTimer.start(); // restarts: only the position the cursor rests on counts
    } else {
        PostSelectedNote();
    }
}

void CInstrumentTree::OnSelectTimer() {
    if (m_pHold && *m_pHold) {
        m_selectTimer.start();
        return;
    }
    PostSelectedNote();
}

void CInstrumentTree::PostSelectedNote() {
    m_selectTimer.stop();
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty() || !m_pTarget) {
        return;
    }
    const int note = NoteOf(selected.first());
    if (note >= 0 && note < kNoNote) {
        QCoreApplication::postEvent(m_pTarget, new NoteSelectedEvent(note));
    } else if (const int instrument = InstrumentOf(selected.first()); instrument >= 0) {
        emit InstrumentChosen(instrument);
    }
}
