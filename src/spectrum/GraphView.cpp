#include "GraphView.h"

#include "Messages.h"
#include "SettingsStore.h"
#include "WaveEngine.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <functional>

namespace {

// Key and zoom live in section "Setting" of the program's settings.
const QString kSection = QStringLiteral("Setting");

void WriteSetting(const char* name, int value) {
    CSettingsStore::WriteInt(kSection, QString::fromLatin1(name), value);
}

// The fixed-size surface the pane scrolls over; it only hands its events to the pane.
class GraphCanvas : public QWidget {
public:
    explicit GraphCanvas(CGraphView* view) : QWidget(view), m_view(view) {
        setObjectName("graphCanvas");
        setFixedSize(GraphScale::kWidth, GraphScale::kHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter painter(this);
        m_view->OnDraw(painter, e->rect());
    }
    void mousePressEvent(QMouseEvent* e) override {
        // The press grabs the mouse until the release, wherever the release happens.
        if (e->button() == Qt::LeftButton) {
            m_view->OnLButtonDown(e->position().toPoint());
        }
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) {
            m_view->OnLButtonUp();
        }
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (m_view->IsOverNote(e->position().toPoint())) {
            setCursor(Qt::PointingHandCursor);
        } else {
            unsetCursor();
        }
    }

private:
    CGraphView* m_view;
};

} // namespace

// Watches the whole application while a note is held and calls back once the pane can no
// longer know that the button is down: it came up anywhere (also over a popup that took the
// mouse), another window showed (a popup menu or a dialog takes the mouse over), or the focus
// went to another window or left the program.
class CGraphView::HoldWatch : public QObject {
public:
    HoldWatch(QWidget* pane, std::function<void()> ended)
        : m_pane(pane), m_ended(std::move(ended)) {}
    ~HoldWatch() override { Stop(); }

    void Start() {
        Stop();
        qApp->installEventFilter(this);
        // The focus may well come to the pane's window with the press itself.
        m_focus = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (!now || now->window() != m_pane->window()) {
                End();
            }
        });
    }
    void Stop() {
        if (qApp) {
            qApp->removeEventFilter(this);
        }
        disconnect(m_focus);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
            End();
        } else if (e->type() == QEvent::Show) {
            const auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->isWindow() && widget->windowType() != Qt::ToolTip) {
                End();
            }
        }
        return false;
    }

private:
    void End() {
        Stop();
        m_ended();
    }

    QWidget* m_pane;
    std::function<void()> m_ended;
    QMetaObject::Connection m_focus;
};

CGraphView::CGraphView(const NoteTable& notes, CWaveEngine& engine,
                       std::unique_ptr<IWaveOut> probeDevice, QWidget* parent)
    : QScrollArea(parent), m_engine(engine), m_display(notes, engine),
      m_probeDevice(std::move(probeDevice)), m_probe(notes, *m_probeDevice), m_surfaces(notes) {
    setObjectName("graphView");
    m_canvas = new GraphCanvas(this);
    setWidget(m_canvas);
    setWidgetResizable(false);

    m_keyMenu = new QMenu(QStringLiteral("MusicKeySelect"), this);
    m_keyMenu->setObjectName("keyMenu");
    const QString keys[] = {tr("1 = C"),  tr("1 = Db"), tr("1 = D"),     tr("1 = bE"),
                            tr("1 = E"),  tr("1 = F"),  tr("1 = #F/bG"), tr("1 = G"),
                            tr("1 = bA"), tr("1 = A"),  tr("1 = bB"),    tr("1 = B")};
    for (int key = 0; key < GraphScale::kKeyCount; ++key) {
        QAction* item = m_keyMenu->addAction(keys[key]);
        item->setCheckable(true);
        item->setData(ID_MUSIC_KEY_FIRST + key);
        connect(item, &QAction::triggered, this,
                [this, key] { OnMusicKey(ID_MUSIC_KEY_FIRST + key); });
    }
    m_hold = std::make_unique<HoldWatch>(this, [this] { EndHold(); });
}

CGraphView::~CGraphView() {
    m_display.SetGraphWindow(nullptr);
    m_hold->Stop();
    m_probe.ProbeToneClose();
}

void CGraphView::OnInitialUpdate() {
    if (m_bInitialised) {
        return;
    }
    m_bInitialised = true;
    m_display.SetGraphWindow(this);
    // Stored values outside their range are limited into it; key 12 draws like key 0.
    m_surfaces.SetKey(
        CSettingsStore::ReadNumber(kSection, QStringLiteral("Key"), 0, 0, GraphScale::kKeyCount));
    m_surfaces.SetVerticalRatio(
        CSettingsStore::ReadNumber(kSection, QStringLiteral("VerticalRatioKey"),
                                   GraphScale::kDefaultRatio, 0, GraphScale::kRatioCount - 1));
    m_probe.ProbeToneInit(this);
    m_bInitialScrollPending = true;
    if (isVisible()) {
        ScrollToKeyboardMiddle();
    }
}

void CGraphView::showEvent(QShowEvent* e) {
    QScrollArea::showEvent(e);
    if (m_bInitialScrollPending) {
        ScrollToKeyboardMiddle();
    }
}

void CGraphView::hideEvent(QHideEvent* e) {
    EndHold();
    QScrollArea::hideEvent(e);
}

bool CGraphView::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::Resize) {
        FitHeight();
    }
    return QScrollArea::viewportEvent(e);
}

void CGraphView::FitHeight() {
    const int height = std::max(GraphScale::kHeight, viewport()->height());
    if (height != m_canvas->height()) {
        m_surfaces.SetHeight(height);
        m_canvas->setFixedHeight(height);
    }
}

void CGraphView::ScrollToKeyboardMiddle() {
    m_bInitialScrollPending = false;
    const int excess = GraphScale::kWidth - viewport()->width();
    if (excess > 64) {
        horizontalScrollBar()->setValue(7 * (excess / 16));
    }
}

// Key and zoom show at once, not only with the next spectrum.
void CGraphView::OnZoomIn() {
    if (m_surfaces.ZoomIn()) {
        WriteSetting("VerticalRatioKey", m_surfaces.VerticalRatio());
        m_canvas->update();
    }
}

void CGraphView::OnZoomOut() {
    if (m_surfaces.ZoomOut()) {
        WriteSetting("VerticalRatioKey", m_surfaces.VerticalRatio());
        m_canvas->update();
    }
}

void CGraphView::OnMusicKey(int id) {
    if (id < ID_MUSIC_KEY_FIRST || id > ID_MUSIC_KEY_LAST) {
        return;
    }
    m_surfaces.SetKey(id - ID_MUSIC_KEY_FIRST);
    WriteSetting("Key", m_surfaces.Key());
    m_canvas->update();
}

QMenu* CGraphView::KeyMenu() {
    for (QAction* item : m_keyMenu->actions()) {
        item->setChecked(item->data().toInt() == ID_MUSIC_KEY_FIRST + m_surfaces.Key());
    }
    return m_keyMenu;
}

void CGraphView::contextMenuEvent(QContextMenuEvent* e) {
    KeyMenu()->popup(e->globalPos());
}

bool CGraphView::event(QEvent* e) {
    if (e->type() == WM_SPECTRUM_READY) {
        m_canvas->update();
        return true;
    }
    if (e->type() == MM_WOM_DONE) {
        m_probe.ProbeToneRefill(static_cast<WaveDoneEvent*>(e));
        return true;
    }
    if (e->type() == MM_WOM_ERROR) {
        // The probe's device stopped by itself: closed, so that the next press opens it anew.
        m_probe.ProbeToneClose();
        return true;
    }
    if (e->type() == QEvent::WindowDeactivate) {
        EndHold();
    }
    return QScrollArea::event(e);
}

void CGraphView::OnMarkersChanged() {
    m_canvas->update();
}

void CGraphView::OnDraw(QPainter& painter, const QRect& dirty) {
    // The snapshot stays alive, unchanged, for as long as this frame reads it.
    const std::shared_ptr<const DisplayAnalyser::DisplaySnapshot> display = m_display.Display();
    // In precise automatic mode the markers are the session's readings.
    const std::span<const double> source =
        m_markerSource ? m_markerSource() : std::span<const double>();
    m_surfaces.Refresh(display->serial, display->spectrum,
                       source.empty() ? std::span<const double>(display->history) : source);
    painter.drawImage(dirty, m_surfaces.Compose(), dirty);
}

void CGraphView::OnLButtonDown(QPoint point) {
    const std::optional<int> note =
        GraphScale::HitNote(point.x(), point.y(), m_surfaces.Baseline());
    if (!note) {
        return;
    }
    if (m_engine.IsOutputOpen()) {
        m_engine.StopOutput();
    }
    m_probe.SetNote(*note);
    m_probe.ProbeToneStart();
    if (m_probe.IsPlaying()) {
        m_hold->Start();
    }
}

void CGraphView::OnLButtonUp() {
    EndHold();
}

void CGraphView::EndHold() {
    m_hold->Stop();
    m_probe.ProbeToneStop();
}

bool CGraphView::IsOverNote(QPoint point) const {
    return GraphScale::HitNote(point.x(), point.y(), m_surfaces.Baseline()).has_value();
}
