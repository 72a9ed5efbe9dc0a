#pragma once

#include <QCoreApplication>

#include <optional>

// The program's command line, read before there is a display, a window or the single-instance
// lock. --help and --version print their answer to standard output; an unknown option or an
// argument is named on standard error. The toolkit's own options (-style, -platform, ...) are
// left for the application object.
class CCommandLine {
    Q_DECLARE_TR_FUNCTIONS(CCommandLine)
public:
    static constexpr int kExitUsage = 2;

    // The status to end with when the command line has been answered or refused; nothing when
    // the program is to start.
    static std::optional<int> Answer(int argc, char** argv);
};
