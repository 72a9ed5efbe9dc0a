#include "TunerView.h"

#include "Doreme.h"
#include "InstrumentStrings.h"
#include "InstrumentTree.h"
#include "LevelIndicator.h"
#include "PitchMeter.h"
#include "StringMeters.h"
#include "StrobeView.h"
#include "TreeIcons.h"
#include "TunerMessages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel* CentredLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

CTunerView::CTunerView(CDoreme& doreme, CWaveEngine& engine, QWidget* parent)
    : QWidget(parent), m_doreme(doreme), m_session(doreme, engine) {
    setObjectName("tunerView");

    auto* meterGroup = new QGroupBox(tr("Pitch Meter"), this);
    auto* grid = new QGridLayout(meterGroup);
    m_low = CentredLabel("lowText", meterGroup);
    m_pitch = CentredLabel("pitchText", meterGroup);
    m_high = CentredLabel("highText", meterGroup);
    m_pitch->setText("?");
    // The read-out takes the whole width between its "L" and "H" marks.
    auto* readoutRow = new QHBoxLayout;
    readoutRow->addWidget(m_low);
    readoutRow->addWidget(m_pitch, 1);
    readoutRow->addWidget(m_high);
    grid->addLayout(readoutRow, 0, 0, 1, 3);

    // A display, not a control: it follows the measurement and ignores the mouse.
    m_meter =
        new CPitchMeter(-TunerReadout::kMeterRange, TunerReadout::kMeterRange, 10, meterGroup);
    m_meter->setObjectName("meter");
    // The strobe, when shown, right under the meter it refines.
    m_strobe = new CStrobeView(m_session, meterGroup);
    m_strobe->hide();
    auto* meterColumn = new QVBoxLayout;
    meterColumn->addWidget(m_meter);
    meterColumn->addWidget(m_strobe);
    grid->addLayout(meterColumn, 1, 0, 1, 3);

    // The centre mark is also where the keyboard focus is parked when it leaves the tree.
    m_centreMark = new QLabel(meterGroup);
    m_centreMark->setObjectName("centreMark");
    m_centreMark->setPixmap(CentreMarkPixmap());
    m_centreMark->setAlignment(Qt::AlignCenter);
    m_centreMark->setFocusPolicy(Qt::ClickFocus);
    grid->addWidget(m_centreMark, 2, 0, 1, 3);

    const char* names[] = {"noteBelow", "noteTarget", "noteAbove"};
    const char* frequencies[] = {"frequencyBelow", "frequencyTarget", "frequencyAbove"};
    for (int i = 0; i < 3; ++i) {
        m_noteNames[i] = CentredLabel(names[i], meterGroup);
        m_noteFrequencies[i] = CentredLabel(frequencies[i], meterGroup);
        grid->addWidget(m_noteNames[i], 3, i);
        grid->addWidget(m_noteFrequencies[i], 4, i);
    }
    grid->setColumnStretch(1, 1);
    m_level = new CLevelIndicator(meterGroup);
    m_level->setObjectName("inputLevel");
    m_level->setToolTip(tr("Input level"));
    grid->addWidget(m_level, 5, 0, 1, 3);
    // Read from a music stand: the frequency and the target note at twice the usual size.
    for (QLabel* label : {m_pitch, m_noteNames[1]}) {
        QFont large = label->font();
        if (large.pointSizeF() > 0) {
            large.setPointSizeF(large.pointSizeF() * 2.0);
        } else {
            large.setPixelSize(large.pixelSize() * 2);
        }
        label->setFont(large);
    }

    auto* treeGroup = new QGroupBox(tr("Instrument Selection"), this);
    auto* treeLayout = new QVBoxLayout(treeGroup);
    m_tree = new CInstrumentTree(this, treeGroup);
    m_tree->HoldSelectionTimerWhile(&m_bInMetronome);
    treeLayout->addWidget(m_tree);

    // The instrument view, titled with the instrument's name.
    m_meterGroup = meterGroup;
    m_stringsGroup = new QWidget(this);
    m_stringsGroup->setObjectName("stringsGroup");
    m_stringsTitle = new QLabel(m_stringsGroup);
    m_stringsTitle->setObjectName("stringsTitle");
    m_stringMeters = new CStringMeters(m_stringsGroup);
    auto* stringsLayout = new QVBoxLayout(m_stringsGroup);
    stringsLayout->setContentsMargins(0, 0, 0, 0);
    stringsLayout->addWidget(m_stringsTitle);
    stringsLayout->addWidget(m_stringMeters);
    m_stringsGroup->hide();
    connect(m_tree, &CInstrumentTree::InstrumentChosen, &m_session,
            &CListeningSession::SelectInstrument);
    connect(&m_session, &CListeningSession::StringsChanged, this,
            [this] { m_stringMeters->Show(m_session.Strings()); });

    setMinimumWidth(kMinimumWidth);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(meterGroup);
    layout->addWidget(m_stringsGroup);
    layout->addWidget(treeGroup, 1);

    connect(&m_session, &CListeningSession::ReadoutChanged, this, &CTunerView::RefreshReadout);
    connect(&m_session, &CListeningSession::TargetChanged, this, [this] {
        ShowTargetView();
        UpdateNeighbours();
        emit CommandStateChanged();
    });
    connect(&m_session, &CListeningSession::ToneChanged, this, &CTunerView::CommandStateChanged);
    connect(&m_session, &CListeningSession::LevelChanged, this, [this] {
        m_level->SetLevel(m_session.InputLevel(), m_session.Sensitivity());
        m_meter->setNeedleVisible(!m_session.IsQuiet());
    });
}

void CTunerView::SetStrobeVisible(bool visible) {
    m_strobe->setVisible(visible);
}

bool CTunerView::IsStrobeVisible() const {
    return !m_strobe->isHidden();
}

CTunerView::~CTunerView() {
    Shutdown();
}

void CTunerView::OnInitialUpdate(double freqA4) {
    if (m_bInitialised) {
        return;
    }
    m_bInitialised = true;
    m_meter->setValue(0);
    m_doreme.SetFreqA4(freqA4);
    m_tree->BuildInstrumentTree();
    m_session.SelectNote(kNoteA4);
    RefreshReadout(); // empty until the first measurement
    m_session.Start();
}

void CTunerView::Shutdown() {
    m_session.Stop();
}

bool CTunerView::event(QEvent* e) {
    if (e->type() == WM_NOTE_SELECTED) {
        m_session.SelectNote(static_cast<NoteSelectedEvent*>(e)->Note());
        return true;
    }
    return QWidget::event(e);
}

void CTunerView::RefreshReadout() {
    const TunerReadout& readout = m_session.Readout();
    if (readout.OutOfBand() != 0) {
        m_pitch->setText(readout.OutOfBand() > 0 ? tr("too high") : tr("too low"));
    } else {
        m_pitch->setText(QString::fromStdString(readout.PitchText()));
    }
    m_low->setText(QString::fromStdString(readout.LowText()));
    m_high->setText(QString::fromStdString(readout.HighText()));
    m_meter->setValue(readout.MeterPosition());
    m_meter->setNeedleVisible(!m_session.IsQuiet());
}

void CTunerView::ShowTargetView() {
    const auto instrument = m_session.Strings().Instrument();
    if (instrument) {
        m_stringsTitle->setText(
            QString::fromStdString(InstrumentName(InstrumentTable[*instrument])));
    }
    m_meterGroup->setVisible(!instrument);
    m_stringsGroup->setVisible(instrument.has_value());
}

void CTunerView::UpdateNeighbours() {
    const auto neighbours = m_session.Readout().Neighbours();
    for (int i = 0; i < 3; ++i) {
        m_noteNames[i]->setText(QString::fromStdString(neighbours[i].name));
        m_noteFrequencies[i]->setText(QString::fromStdString(neighbours[i].frequency));
    }
}

void CTunerView::ParkFocusIfInTree() {
    if (m_tree->hasFocus()) {
        m_centreMark->setFocus(Qt::OtherFocusReason);
    }
}

void CTunerView::OnHalfToneDown() {
    ParkFocusIfInTree();
    m_session.HalfTone(-1);
}

void CTunerView::OnHalfToneUp() {
    ParkFocusIfInTree();
    m_session.HalfTone(+1);
}

void CTunerView::OnAutoTone() {
    m_session.SetAutomatic(!m_session.IsAutomatic());
    ParkFocusIfInTree();
}

void CTunerView::OnPreciseAuto() {
    m_session.SetPrecise(!m_session.IsPrecise());
}

void CTunerView::OnStandardTone() {
    m_session.ToggleTone();
}

void CTunerView::OnSetParameters() {
    if (m_runSetParameters) {
        m_runSetParameters();
    }
    UpdateNeighbours();
}

void CTunerView::OnMetronom() {
    if (m_runMetronome) {
        m_runMetronome();
    }
}
