#pragma once

#include <QMainWindow>

#include <map>
#include <memory>

class CDoreme;
class CGraphView;
class CTunerView;
class CWaveEngine;
class IWaveOut;
class QAction;
class QLabel;
class QSplitter;

// The program's window: menus, toolbar, status bar, and a splitter that holds the tuner pane
// on the left and the spectrum pane on the right. Every command passes through OnCommand; the
// tuner's commands go to the tuner pane and the zoom commands to the spectrum pane wherever
// the keyboard focus is.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // probeDevice sounds the spectrum pane's probe tone; without one it is the system's
    // default output.
    CMainFrame(CDoreme& doreme, CWaveEngine& engine, std::unique_ptr<IWaveOut> probeDevice = {},
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The panes' first initial update: reads the settings and starts the tuner.
    void InitialUpdate();

    // Runs a command by its id; false when no one handles it.
    bool OnCommand(int id);
    QAction* Action(int id) const;

    CTunerView* TunerView() const { return m_tuner; }
    CGraphView* GraphView() const { return m_graph; }

    // quavelorinhelp.html beside the executable, or in the installed data folder.
    static QString HelpFilePath();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QAction* AddAction(int id, const QString& menuText, const QString& prompt,
                       const QString& tooltip, const QIcon& icon = QIcon());
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void UpdateCommandUI();
    void UpdateLockIndicators();
    void UpdateTemperamentIndicator();
    bool RunSetParameters();
    // Stores the tuner's mode and target for the next start.
    void KeepTunerState();

    CDoreme& m_doreme;
    CWaveEngine& m_engine;
    QSplitter* m_splitter = nullptr;
    CTunerView* m_tuner = nullptr;
    CGraphView* m_graph = nullptr;
    QToolBar* m_toolBar = nullptr;
    std::map<int, QAction*> m_actions;
    QLabel* m_caps = nullptr;
    QLabel* m_num = nullptr;
    QLabel* m_scroll = nullptr;
    QLabel* m_temperament = nullptr; // the temperament and transposition, when not the usual
};
