#pragma once

#include "Doreme.h"

#include <QString>

// The values the program keeps between runs, in QSettings("Pelorin", "Quavelorin"): on Linux an
// INI file under the user's configuration folder, on Windows the current user's registry.
// A missing or unreadable value reads as its default.
class CSettingsStore {
public:
    static constexpr int kDefaultFreqOfA4 =
        static_cast<int>(CDoreme::kDefaultFreqA4 * 10); // tenths

    static int ReadInt(const QString& section, const QString& name, int defaultValue);
    static void WriteInt(const QString& section, const QString& name, int value);

    // "Setting"/"FreqOfA4" in hertz, brought into 435.0..445.0.
    static double ReadFreqOfA4();
    // Stores hz as whole tenths of a hertz (440.1 Hz is 4401).
    static void WriteFreqOfA4(double hz);
};
