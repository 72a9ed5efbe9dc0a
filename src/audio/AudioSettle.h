#pragma once

#include <chrono>

// Lets the event loop run for a moment after the sound devices are closed. The sound library
// still finishes its side of the teardown then; a process that exits at once can crash inside
// it.
void LetAudioSettle(std::chrono::milliseconds time = std::chrono::milliseconds(200));
