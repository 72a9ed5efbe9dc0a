#include "DlgMetronom.h"

#include "ClickTrack.h"
#include "LampPictures.h"
#include "WaveEngine.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The tempo changes through the arrows (buttons, keys, wheel) only, so it never leaves its range
// and never passes through half-typed values.
class TempoSpinBox : public QSpinBox {
public:
    explicit TempoSpinBox(QWidget* parent) : QSpinBox(parent) {
        lineEdit()->setReadOnly(true);
        setRange(kMinTempo, kMaxTempo);
        setValue(kDefaultTempo);
    }
};

QTimer* NamedTimer(const char* name, QObject* parent) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(name);
    return timer;
}

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false); // Enter closes the dialog rather than pressing a button
    return button;
}

} // namespace

CDlgMetronom::CDlgMetronom(CWaveEngine& engine, std::span<std::int16_t> clip, QWidget* parent)
    : QDialog(parent), m_engine(engine), m_pClip(clip), m_bmpLight(LampPictures()),
      m_nRhythm(kDefaultPattern) {
    setObjectName("metronomDialog");
    setWindowTitle(tr("Metronom"));

    auto* tempoRow = new QHBoxLayout;
    tempoRow->addWidget(new QLabel(tr("Tempo"), this));
    m_spinTempo = new TempoSpinBox(this);
    m_spinTempo->setObjectName("tempo");
    tempoRow->addWidget(m_spinTempo);
    tempoRow->addStretch();

    auto* rhythmBox = new QGroupBox(tr("Time(rhythm)"), this);
    auto* rhythmGrid = new QGridLayout(rhythmBox);
    m_rhythmGroup = new QButtonGroup(this);
    for (int i = 0; i < static_cast<int>(kTimePatterns.size()); ++i) {
        const std::string_view text = kTimePatterns[static_cast<std::size_t>(i)].text;
        auto* radio = new QRadioButton(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), rhythmBox);
        m_rhythmGroup->addButton(radio, i);
        rhythmGrid->addWidget(radio, i / 4, i % 4);
    }
    m_rhythmGroup->button(m_nRhythm)->setChecked(true);

    auto* outputBox = new QGroupBox(tr("Output Method"), this);
    auto* outputRow = new QHBoxLayout(outputBox);
    m_outputGroup = new QButtonGroup(this);
    m_outputGroup->addButton(new QRadioButton(tr("Sound"), outputBox), kSound);
    m_outputGroup->addButton(new QRadioButton(tr("Light"), outputBox), kLight);
    m_outputGroup->button(m_nOutputMethod)->setChecked(true);
    outputRow->addWidget(m_outputGroup->button(kSound));
    outputRow->addWidget(m_outputGroup->button(kLight));
    outputRow->addStretch();
    m_staticLight = new QLabel(outputBox);
    m_staticLight->setObjectName("light");
    m_staticLight->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_staticLight->setFixedSize(kLampSize + 4, kLampSize + 4);
    m_staticLight->setAlignment(Qt::AlignCenter);
    outputRow->addWidget(m_staticLight);

    auto* buttons = new QHBoxLayout;
    QPushButton* start = Button(tr("Start"), "start", this);
    QPushButton* stop = Button(tr("Stop"), "stop", this);
    buttons->addStretch();
    buttons->addWidget(start);
    buttons->addWidget(stop);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tempoRow);
    layout->addWidget(rhythmBox);
    layout->addWidget(outputBox);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_beatTimer = NamedTimer("beatTimer", this);
    m_beatTimer->setTimerType(Qt::PreciseTimer);
    m_lampOffTimer = NamedTimer("lampOffTimer", this);
    m_lampOffTimer->setInterval(kLampOnMs);
    m_restartTimer = NamedTimer("restartTimer", this);
    m_restartTimer->setSingleShot(true);
    m_restartTimer->setInterval(kRestartDelayMs);

    connect(start, &QPushButton::clicked, this, &CDlgMetronom::OnStart);
    connect(stop, &QPushButton::clicked, this, &CDlgMetronom::OnStop);
    connect(m_spinTempo, &QSpinBox::valueChanged, this, &CDlgMetronom::OnSettingChange);
    connect(m_rhythmGroup, &QButtonGroup::idClicked, this, &CDlgMetronom::OnSettingChange);
    connect(m_outputGroup, &QButtonGroup::idClicked, this, &CDlgMetronom::OnSettingChange);
    connect(m_beatTimer, &QTimer::timeout, this, &CDlgMetronom::OnBeat);
    connect(m_lampOffTimer, &QTimer::timeout, this, [this] { ShowLamp(0); });
    connect(m_restartTimer, &QTimer::timeout, this, [this] {
        OnStart();
        m_restartTimer->stop(); // a Light start arms it again; this start is the last
    });
}

void CDlgMetronom::OnStart() {
    m_nRhythm = m_rhythmGroup->checkedId();
    m_nOutputMethod = m_outputGroup->checkedId();
    const int tempo = m_spinTempo->value();
    m_bRunning = true;
    if (m_nOutputMethod == kLight) {
        StartLight(tempo);
        return;
    }
    const std::size_t length =
        RenderClickTrack(m_pClip, tempo, kTimePatterns[static_cast<std::size_t>(m_nRhythm)]);
    if (m_engine.IsOutputOpen()) {
        return; // already sounding: a second Start does not begin the track again
    }
    m_engine.SetClip({m_pClip.begin(), m_pClip.begin() + static_cast<std::ptrdiff_t>(length)});
    m_engine.SetSynthesis(false);
    m_engine.StartOutput();
}

void CDlgMetronom::StartLight(int tempo) {
    m_beatTimer->start(60000 / tempo);
    m_lamps.Restart(kTimePatterns[static_cast<std::size_t>(m_nRhythm)].beats);
    // The lamps start over once more after the usual delay: the first beat comes that delay
    // plus one period after Start.
    m_restartTimer->start();
}

void CDlgMetronom::OnStop() {
    // A start still pending from an earlier change would undo this Stop.
    m_restartTimer->stop();
    StopRunning();
}

void CDlgMetronom::OnSettingChange() {
    // Further changes while a restart is pending push it back, so a run of changes restarts
    // the metronome once, with the settings it ends on.
    if (m_bRunning || m_restartTimer->isActive()) {
        m_restartTimer->start();
    }
    StopRunning();
}

void CDlgMetronom::StopRunning() {
    m_bRunning = false;
    if (m_nOutputMethod == kLight) {
        m_beatTimer->stop();
    } else {
        m_engine.StopOutput();
    }
}

void CDlgMetronom::OnBeat() {
    ShowLamp(m_lamps.Beat());
    m_lampOffTimer->start();
}

void CDlgMetronom::ShowLamp(int picture) {
    m_staticLight->setPixmap(m_bmpLight[static_cast<std::size_t>(picture)]);
}

void CDlgMetronom::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDlgMetronom::done(int result) {
    // The dialog's timers end with it; a sounding click track is the opener's to stop.
    m_beatTimer->stop();
    m_lampOffTimer->stop();
    m_restartTimer->stop();
    QDialog::done(result);
}
