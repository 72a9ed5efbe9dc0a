#include "MainFrame.h"

#include "AboutDlg.h"
#include "Artwork.h"
#include "Commands.h"
#include "DataFiles.h"
#include "DlgSet.h"
#include "Doreme.h"
#include "GraphView.h"
#include "LockKeys.h"
#include "MetronomeOpener.h"
#include "PageOpener.h"
#include "SettingsStore.h"
#include "SystemWaveDevices.h"
#include "TemperamentBox.h"
#include "TemperamentStore.h"
#include "TunerView.h"
#include "WindowFloor.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QUrl>

namespace {

constexpr int kTunerPaneWidth = 380;
constexpr int kGraphPaneWidth = 100; // the last pane takes whatever width is left

} // namespace

CMainFrame::CMainFrame(CDoreme& doreme, CWaveEngine& engine, std::unique_ptr<IWaveOut> probeDevice,
                       QWidget* parent)
    : QMainWindow(parent), m_doreme(doreme), m_engine(engine) {
    setWindowTitle(QStringLiteral("Quavelorin"));
    setWindowIcon(ApplicationIcon());
    setObjectName("mainFrame");

    // The tuner on the left at its width; the spectrum takes the rest, also when the window
    // grows.
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName("paneSplitter");
    m_splitter->setChildrenCollapsible(false);
    m_tuner = new CTunerView(m_doreme, m_engine, m_splitter);
    m_tuner->SetParametersDialog([this] { return RunSetParameters(); });
    m_tuner->SetMetronomeDialog([this] { RunMetronome(m_engine, m_tuner->m_bInMetronome, this); });
    m_splitter->addWidget(m_tuner);
    if (!probeDevice) {
        probeDevice = MakeSystemWaveOut(OutputLead::Quick);
    }
    m_graph = new CGraphView(m_doreme.Notes(), m_engine, std::move(probeDevice), m_splitter);
    // In precise automatic mode the markers show the tuner's own readings.
    m_graph->SetMarkerSource([this] { return m_tuner->Session().PreciseMarkers(); });
    connect(&m_tuner->Session(), &CListeningSession::MarkersChanged, m_graph,
            &CGraphView::OnMarkersChanged);
    m_splitter->addWidget(m_graph);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({kTunerPaneWidth, kGraphPaneWidth});
    setCentralWidget(m_splitter);
    // Never smaller than the tuner pane, toolbar and status bar need.
    new CWindowFloor(this);

    AddAction(ID_HALF_TONE_DOWN, tr("Decrement half tone (F1)"), tr("Decrement a half tone"),
              tr("b"), HalfToneDownIcon());
    AddAction(ID_HALF_TONE_UP, tr("Increment half tone (F2)"), tr("Increment a half tone"), tr("#"),
              HalfToneUpIcon());
    AddAction(ID_AUTO_TONE, tr("Automatic tone (F3)"), tr("Automaticly select tone"), tr("Auto"),
              AutoToneIcon())
        ->setCheckable(true);
    AddAction(ID_PRECISE_AUTO, tr("Precise automatic mode"),
              tr("In automatic mode, measure the note found as finely as a chosen string"),
              tr("Precise automatic mode"))
        ->setCheckable(true);
    AddAction(ID_STANDARD_TONE, tr("Play standard tone (F5)"), tr("Play the standard tone"),
              tr("standard tone"), StandardToneIcon())
        ->setCheckable(true);
    AddAction(ID_METRONOM, tr("Metronom (F8)"), tr("Play the metronom"), tr("Metronom"),
              MetronomIcon());
    AddAction(ID_SET_PARAMETERS, tr("Set Parameter Dialog"), tr("Show Set Parameters Dialog"),
              tr("Set Parameters Dialog"), SetParametersIcon());
    AddAction(ID_ZOOM_IN, tr("Zoom In"), tr("Zoom In"), tr("Zoom In"), ZoomInIcon());
    AddAction(ID_ZOOM_OUT, tr("Zoom Out"), tr("Zoom Out"), tr("Zoom Out"), ZoomOutIcon());
    AddAction(ID_HELP_FILE, tr("Help"), tr("See the help"), tr("Help"), HelpIcon());
    AddAction(ID_APP_ABOUT, tr("&About Quavelorin..."), tr("Display version number and copyright"),
              tr("About Quavelorin"), AboutIcon());
    AddAction(ID_VIEW_STROBE, tr("Strobe"), tr("Show or hide the strobe"), tr("Strobe"))
        ->setCheckable(true);
    AddAction(ID_APP_EXIT, tr("E&xit"), tr("Quit the application; prompts to save documents"),
              tr("Exit"));
    AddAction(ID_VIEW_TOOLBAR, tr("&Toolbar"), tr("Show or hide the toolbar"), tr("Toggle ToolBar"))
        ->setCheckable(true);
    AddAction(ID_VIEW_STATUS_BAR, tr("&Status Bar"), tr("Show or hide the status bar"),
              tr("Toggle StatusBar"))
        ->setCheckable(true);

    BuildToolBar();
    BuildStatusBar();
    BuildMenus();

    // Plain function keys, for the whole window whatever has the focus; F1 is not help.
    const std::pair<Qt::Key, int> keys[] = {{Qt::Key_F1, ID_HALF_TONE_DOWN},
                                            {Qt::Key_F2, ID_HALF_TONE_UP},
                                            {Qt::Key_F3, ID_AUTO_TONE},
                                            {Qt::Key_F5, ID_STANDARD_TONE},
                                            {Qt::Key_F8, ID_METRONOM}};
    for (const auto& [key, id] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, id = id] { OnCommand(id); });
    }

    connect(m_tuner, &CTunerView::CommandStateChanged, this, &CMainFrame::UpdateCommandUI);
    UpdateCommandUI();

    // The lock keys are looked at when they may have changed, not polled.
    qApp->installEventFilter(this);
    UpdateLockIndicators();
}

CMainFrame::~CMainFrame() {
    KeepTunerState(); // also when the program ends without closing the window
    m_tuner->Shutdown();
}

void CMainFrame::InitialUpdate() {
    m_tuner->Session().SetPrecise(CSettingsStore::ReadPreciseAuto());
    CTemperamentStore::ApplyStored(m_doreme);
    UpdateTemperamentIndicator();
    m_tuner->Session().SetSensitivity(CSettingsStore::ReadSensitivity());
    m_tuner->SetStrobeVisible(CSettingsStore::ReadStrobe());
    m_tuner->OnInitialUpdate(CSettingsStore::ReadFreqOfA4());
    if (const auto target = CSettingsStore::ReadTunerTarget()) {
        m_tuner->Session().Restore(*target); // the tuner as it was left
    }
    m_graph->OnInitialUpdate();
    UpdateCommandUI(); // the stored zoom step decides what is enabled
}

QAction* CMainFrame::AddAction(int id, const QString& menuText, const QString& prompt,
                               const QString& tooltip, const QIcon& icon) {
    auto* action = new QAction(icon, menuText, this);
    action->setStatusTip(prompt);
    action->setToolTip(tooltip);
    action->setData(id);
    // Check marks follow the state, not the click: the handler decides.
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_actions[id] = action;
    return action;
}

QAction* CMainFrame::Action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::BuildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(Action(ID_APP_EXIT));

    QMenu* function = menuBar()->addMenu(tr("&Function"));
    function->addAction(Action(ID_AUTO_TONE));
    function->addAction(Action(ID_PRECISE_AUTO));
    function->addAction(Action(ID_HALF_TONE_UP));
    function->addAction(Action(ID_HALF_TONE_DOWN));
    function->addAction(Action(ID_STANDARD_TONE));
    function->addSeparator();
    function->addAction(Action(ID_METRONOM));
    function->addSeparator();
    connect(function, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    QMenu* spectrum = function->addMenu(tr("Spectrum"));
    spectrum->addAction(Action(ID_ZOOM_IN));
    spectrum->addAction(Action(ID_ZOOM_OUT));
    connect(spectrum, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(Action(ID_VIEW_TOOLBAR));
    view->addAction(Action(ID_VIEW_STATUS_BAR));
    view->addAction(Action(ID_VIEW_STROBE));
    view->addSeparator();
    view->addAction(Action(ID_SET_PARAMETERS));
    connect(view, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(Action(ID_HELP_FILE));
    help->addAction(Action(ID_APP_ABOUT));
}

void CMainFrame::BuildToolBar() {
    m_toolBar = addToolBar(tr("Toolbar"));
    m_toolBar->setObjectName("mainToolBar");
    m_toolBar->setIconSize(QSize(28, 28));
    m_toolBar->addAction(Action(ID_HALF_TONE_DOWN));
    m_toolBar->addAction(Action(ID_HALF_TONE_UP));
    m_toolBar->addSeparator();
    m_toolBar->addAction(Action(ID_AUTO_TONE));
    m_toolBar->addAction(Action(ID_STANDARD_TONE));
    m_toolBar->addSeparator();
    m_toolBar->addAction(Action(ID_METRONOM));
    m_toolBar->addSeparator();
    m_toolBar->addAction(Action(ID_SET_PARAMETERS));
    m_toolBar->addAction(Action(ID_ZOOM_IN));
    m_toolBar->addAction(Action(ID_ZOOM_OUT));
    m_toolBar->addSeparator();
    m_toolBar->addAction(Action(ID_HELP_FILE));
    m_toolBar->addAction(Action(ID_APP_ABOUT));
}

void CMainFrame::BuildStatusBar() {
    auto indicator = [this](const char* name, const QString& text) {
        auto* label = new QLabel(this);
        label->setObjectName(name);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) + 10);
        statusBar()->addPermanentWidget(label);
        return label;
    };
    m_caps = indicator("capsIndicator", tr("CAP"));
    m_num = indicator("numIndicator", tr("NUM"));
    m_scroll = indicator("scrollIndicator", tr("SCRL"));
    // Left of the lock keys, so that nobody tunes in another temperament without knowing it.
    m_temperament = new QLabel(this);
    m_temperament->setObjectName("temperamentIndicator");
    statusBar()->insertPermanentWidget(0, m_temperament);
    statusBar()->showMessage(tr("Ready"));
}

void CMainFrame::UpdateTemperamentIndicator() {
    m_temperament->setText(CTemperamentBox::StatusText(m_doreme));
    m_temperament->setToolTip(QString::fromStdString(m_doreme.GetTemperament().Description()));
}

void CMainFrame::UpdateLockIndicators() {
    const LockKeys keys = ReadLockKeys().value_or(LockKeys{});
    m_caps->setText(keys.caps ? tr("CAP") : QString());
    m_num->setText(keys.num ? tr("NUM") : QString());
    m_scroll->setText(keys.scroll ? tr("SCRL") : QString());
}

void CMainFrame::UpdateCommandUI() {
    Action(ID_AUTO_TONE)->setChecked(m_tuner->IsAutomatic());
    Action(ID_PRECISE_AUTO)->setChecked(m_tuner->IsPrecise());
    Action(ID_STANDARD_TONE)->setChecked(m_tuner->IsToneOn());
    Action(ID_ZOOM_IN)->setEnabled(m_graph->CanZoomIn());
    Action(ID_ZOOM_OUT)->setEnabled(m_graph->CanZoomOut());
    Action(ID_VIEW_TOOLBAR)->setChecked(!m_toolBar->isHidden());
    Action(ID_VIEW_STATUS_BAR)->setChecked(!statusBar()->isHidden());
    Action(ID_VIEW_STROBE)->setChecked(m_tuner->IsStrobeVisible());
}

bool CMainFrame::OnCommand(int id) {
    switch (id) {
    // The tuner's commands go to the tuner pane first, wherever the focus is.
    case ID_HALF_TONE_DOWN:
        m_tuner->OnHalfToneDown();
        break;
    case ID_HALF_TONE_UP:
        m_tuner->OnHalfToneUp();
        break;
    case ID_AUTO_TONE:
        m_tuner->OnAutoTone();
        break;
    case ID_PRECISE_AUTO:
        m_tuner->OnPreciseAuto();
        CSettingsStore::WritePreciseAuto(m_tuner->IsPrecise());
        break;
    case ID_STANDARD_TONE:
        m_tuner->OnStandardTone();
        break;
    case ID_SET_PARAMETERS:
        m_tuner->OnSetParameters();
        break;
    case ID_METRONOM:
        m_tuner->OnMetronom();
        break;
    // The zoom commands go to the spectrum pane, wherever the focus is.
    case ID_ZOOM_IN:
        m_graph->OnZoomIn();
        break;
    case ID_ZOOM_OUT:
        m_graph->OnZoomOut();
        break;
    case ID_HELP_FILE:
        CPageOpener::Open(QUrl::fromLocalFile(HelpFilePath()), this);
        break;
    case ID_APP_ABOUT: {
        CAboutDlg about(this);
        about.exec();
        break;
    }
    case ID_APP_EXIT:
        close();
        break;
    case ID_VIEW_TOOLBAR:
        m_toolBar->setVisible(m_toolBar->isHidden());
        break;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(statusBar()->isHidden());
        break;
    case ID_VIEW_STROBE:
        m_tuner->SetStrobeVisible(!m_tuner->IsStrobeVisible());
        CSettingsStore::WriteStrobe(m_tuner->IsStrobeVisible());
        break;
    default:
        return false;
    }
    UpdateCommandUI();
    return true;
}

bool CMainFrame::RunSetParameters() {
    const QString input = CSettingsStore::ReadInputSource();
    CDlgSet dialog(m_doreme, m_engine.CaptureDevice().Sources(), input, this);
    dialog.SetSensitivity(CSettingsStore::ReadSensitivity());
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    CSettingsStore::WriteFreqOfA4(m_doreme.FreqA4());
    UpdateTemperamentIndicator();
    CSettingsStore::WriteSensitivity(dialog.Sensitivity());
    m_tuner->Session().SetSensitivity(dialog.Sensitivity());
    if (dialog.Input() != input) {
        CSettingsStore::WriteInputSource(dialog.Input());
        m_engine.SetInputSource(dialog.Input().toStdString());
    }
    return true;
}

QString CMainFrame::HelpFilePath() {
    return CDataFiles::Find(QStringLiteral("quavelorinhelp.html"));
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* e) {
    // A lock key changes with a key of ours, or while another window had the keyboard.
    if (e->type() == QEvent::KeyRelease ||
        (watched == this && e->type() == QEvent::WindowActivate)) {
        UpdateLockIndicators();
    }
    return QMainWindow::eventFilter(watched, e);
}

bool CMainFrame::event(QEvent* e) {
    // The first pane of the status bar shows a command's prompt while one is hovered, and
    // "Ready" otherwise.
    if (e->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(e)->tip();
        statusBar()->showMessage(tip.isEmpty() ? tr("Ready") : tip);
        return true;
    }
    return QMainWindow::event(e);
}

void CMainFrame::KeepTunerState() {
    CSettingsStore::WriteTunerTarget(m_tuner->Session().Target());
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    KeepTunerState();
    m_tuner->Shutdown();
    e->accept();
}
