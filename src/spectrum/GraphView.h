#pragma once

#include "DisplayAnalyser.h"
#include "GraphSurfaces.h"
#include "ProbeTone.h"

#include <QScrollArea>

#include <functional>
#include <memory>
#include <span>

class CWaveEngine;
class IWaveOut;
class QMenu;

// Command ids of the key menu: 32790 + key, "1 = C" .. "1 = B".
constexpr int ID_MUSIC_KEY_FIRST = 32790;
constexpr int ID_MUSIC_KEY_LAST = 32801;

// The spectrum pane: a scroll area over the 1821 x 421 canvas that GraphSurfaces draws. In a
// taller pane the canvas takes the pane's height and the plot stretches with it.
// Each WM_SPECTRUM_READY asks for a repaint; the paint takes the analyser's newest snapshot and
// holds it while it draws, so the capture thread never waits. A paint composes a frame only
// for a new snapshot or a new key or zoom step, and copies just the exposed part.
//
// Holding the left button on a note's label sounds that note on the probe tone's own device
// (the tuner's tone stops first). The probe stops as soon as the pane can no longer know that
// the button is held: the button comes up anywhere, a popup menu or a dialog shows, the focus
// goes to another window, the pane is hidden or its window stops being the active one.
//
// The context menu picks the key of the numbered notation; key and zoom step are stored in
// the settings at once.
class CGraphView : public QScrollArea {
    Q_OBJECT
public:
    CGraphView(const NoteTable& notes, CWaveEngine& engine, std::unique_ptr<IWaveOut> probeDevice,
               QWidget* parent = nullptr);
    ~CGraphView() override;

    // Once: becomes the engine's graph window, reads key and zoom from the settings and
    // readies the probe tone. The first showing then scrolls the middle of the keyboard into
    // view.
    void OnInitialUpdate();

    void OnZoomIn();
    void OnZoomOut();
    bool CanZoomIn() const { return m_surfaces.CanZoomIn(); }
    bool CanZoomOut() const { return m_surfaces.CanZoomOut(); }
    // id is ID_MUSIC_KEY_FIRST + key; others are ignored.
    void OnMusicKey(int id);
    int Key() const { return m_surfaces.Key(); }
    int VerticalRatio() const { return m_surfaces.VerticalRatio(); }

    // Where the pitch markers come from when it gives any: otherwise the engine's display
    // estimates.
    using MarkerSource = std::function<std::span<const double>()>;
    void SetMarkerSource(MarkerSource source) { m_markerSource = std::move(source); }
    // The source has new markers: they are drawn now, not only with the next spectrum.
    void OnMarkersChanged();

    // The key menu with the current key checked (none for key 12).
    QMenu* KeyMenu();

    // What the canvas hands on, in canvas coordinates.
    void OnDraw(QPainter& painter, const QRect& dirty);
    void OnLButtonDown(QPoint point);
    void OnLButtonUp();
    bool IsOverNote(QPoint point) const;

    QWidget* Canvas() const { return m_canvas; }
    const GraphSurfaces& Surfaces() const { return m_surfaces; }
    const ProbeTone& Probe() const { return m_probe; }
    const DisplayAnalyser& Analyser() const { return m_display; }

protected:
    bool event(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool viewportEvent(QEvent* e) override;

private:
    class HoldWatch;

    void ScrollToKeyboardMiddle();
    // The canvas as tall as the visible part of the pane, never shorter than its labels need.
    void FitHeight();
    // The button is no longer known to be held on a note: the probe fades out.
    void EndHold();

    CWaveEngine& m_engine;
    DisplayAnalyser m_display;
    std::unique_ptr<IWaveOut> m_probeDevice;
    ProbeTone m_probe;
    GraphSurfaces m_surfaces;
    QWidget* m_canvas = nullptr;
    QMenu* m_keyMenu = nullptr;
    MarkerSource m_markerSource;
    std::unique_ptr<HoldWatch> m_hold;
    bool m_bInitialised = false;
    bool m_bInitialScrollPending = false;
};
