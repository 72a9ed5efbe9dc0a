#pragma once

#include <QAudioFormat>

// 16-bit mono 44100 Hz, the format of every device the program opens.
QAudioFormat BlockAudioFormat();
