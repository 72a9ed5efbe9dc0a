#pragma once

class CWaveEngine;
class QWidget;

// Runs the metronome dialog modally over parent, for the tuner pane's metronome command. The
// click track's buffer lives only while the dialog runs. The engine's output is stopped before
// the dialog (a reference tone must not play into the clicks) and after it (a click track
// still sounding ends with the dialog), and inMetronome is set while the dialog is open.
void RunMetronome(CWaveEngine& engine, bool& inMetronome, QWidget* parent);
