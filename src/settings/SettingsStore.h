#pragma once

#include "Doreme.h"
#include "TunerTarget.h"

#include <QString>

#include <optional>

// The values the program keeps between runs, in QSettings("Pelorin", "Quavelorin"): on Linux an
// INI file under the user's configuration folder, on Windows the current user's registry.
// A missing or unreadable value reads as its default; a value out of range is brought into it.
class CSettingsStore {
public:
    // Tenths of a hertz, as stored.
    static constexpr int kDefaultFreqOfA4 = static_cast<int>(CDoreme::kDefaultFreqA4 * 10);
    static constexpr int kMinFreqOfA4 = static_cast<int>(CDoreme::kMinFreqA4 * 10);
    static constexpr int kMaxFreqOfA4 = static_cast<int>(CDoreme::kMaxFreqA4 * 10);

    static int ReadInt(const QString& section, const QString& name, int defaultValue);
    static void WriteInt(const QString& section, const QString& name, int value);

    // A stored number, rounded to a whole one and brought into min..max; defaultValue when it
    // is missing or not a number ("loud", "4400Hz", "nan").
    static int ReadNumber(const QString& section, const QString& name, int defaultValue, int min,
                          int max);

    // "Setting"/"FreqOfA4" in hertz, brought into 435.0..445.0.
    static double ReadFreqOfA4();
    // Stores hz as whole tenths of a hertz (440.1 Hz is 4401).
    static void WriteFreqOfA4(double hz);

    // "Setting"/"Input": the name of the source the user picked to record from; empty for the
    // desktop's default.
    static QString ReadInputSource();
    static void WriteInputSource(const QString& name);

    // "Setting"/"PreciseAuto": precise automatic mode, 0 (the default) or 1; a stored number
    // is brought into 0..1, anything else reads as off.
    static bool ReadPreciseAuto();
    static void WritePreciseAuto(bool on);

    // "Setting"/"Sensitivity": the quietest input level measured, in dB, brought into
    // -90..-10; -50 by default.
    static constexpr int kDefaultSensitivity = -50;
    static constexpr int kMinSensitivity = -90;
    static constexpr int kMaxSensitivity = -10;
    static int ReadSensitivity();
    static void WriteSensitivity(int db);

    // "View"/"Strobe": the strobe band shown, 0 (the default) or 1.
    static bool ReadStrobe();
    static void WriteStrobe(bool on);

    // "User"/"Mode", "User"/"TargetKind" and "User"/"Target": the tuner as it was left.
    // Nothing before the first exit (a first start is as ever); a kind this version does not
    // know, or a note outside the table, reads as nothing too.
    static std::optional<TunerTarget> ReadTunerTarget();
    static void WriteTunerTarget(const TunerTarget& target);

    // Run once at start-up. A store file that cannot be parsed is copied aside first, as
    // "<file>.unreadable", since the next write keeps only what could be read from it. Returns
    // the message for the user when the settings cannot be written; empty when they can.
    static QString CheckAtStartUp();
};
