#include "CommandLine.h"

#include "BuildSettings.h"
#include "DataFiles.h"
#include "Language.h"

#include <QCommandLineParser>

#include <cstdio>
#include <vector>

namespace {

// The toolkit's options for a window program, so that they reach it untouched.
const char* const kToolkitOptionsWithValue =
    "platform platformpluginpath platformtheme plugin qwindowgeometry qwindowicon qwindowtitle "
    "display geometry title icon name session style stylesheet qmljsdebugger";
const char* const kToolkitFlags = "reverse widgetcount nograb dograb sync";

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

std::optional<int> CCommandLine::Answer(int argc, char** argv) {
    if (argc <= 1) {
        return std::nullopt;
    }
    // A copy, as the application object may take out what it knows.
    std::vector<char*> args(argv, argv + argc);
    int count = argc;
    const QCoreApplication app(count, args.data());
    CLanguage language; // in the user's language when its file is there, else in English
    language.Load(QLocale(), CDataFiles::Folders());

    QCommandLineParser parser;
    // Long options take a single dash too, as the toolkit's own do (-style fusion).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(tr("Quavelorin, a tuner for musical instruments."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  tr("Displays this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     tr("Displays the version and exits."));
    parser.addOption(help);
    parser.addOption(version);
    for (const QString& name : QString::fromLatin1(kToolkitOptionsWithValue).split(' ')) {
        QCommandLineOption option(name, QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const QString& name : QString::fromLatin1(kToolkitFlags).split(' ')) {
        QCommandLineOption option(name);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    const QString program = QStringLiteral("quavelorin");
    QString problem;
    if (!parser.parse(QCoreApplication::arguments())) {
        problem = parser.errorText();
    } else if (!parser.positionalArguments().isEmpty()) {
        problem = tr("Quavelorin takes no arguments, only options: %1")
                      .arg(parser.positionalArguments().join(QLatin1Char(' ')));
    }
    if (!problem.isEmpty()) {
        Print(stderr, program + QStringLiteral(": ") + problem + QLatin1Char('\n') +
                          tr("Run \"%1 --help\" to see the options.").arg(program) +
                          QLatin1Char('\n'));
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        Print(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        Print(stdout, QStringLiteral("Quavelorin %1\n").arg(QStringLiteral(QUAVELORIN_VERSION)));
        return 0;
    }
    return std::nullopt;
}
