// SPDX-License-Identifier: GPL-2.0-or-later
// trevalo: the desktop program.

#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/UserText.h"
#include "platform/desktop/DataFiles.h"
#include "results/OutputText.h"
#include "results/PicturePreview.h"
#include "results/ResultListModel.h"
#include "ui/FileCommands.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

namespace {

// Saves a picture of the window to file, after a moment for it to paint, and quits.
void saveScreenshotSoon(trevalo::MainWindow& window, const QString& file) {
    QTimer::singleShot(500, &window, [&window, file] {
        const bool saved = window.grab().save(file);
        std::fprintf(stderr, saved ? "trevalo: saved %s\n" : "trevalo: cannot save %s\n",
                     qPrintable(file));
        QCoreApplication::exit(saved ? 0 : 1);
    });
}

// For the README's screenshots: the window at the size TREVALO_SCREENSHOT_SIZE gives ("WxH",
// or "least" for its least size), if any.
void sizeForScreenshot(trevalo::MainWindow& window) {
    const QString size = qEnvironmentVariable("TREVALO_SCREENSHOT_SIZE");
    if (size == QStringLiteral("least")) {
        window.resize(window.minimumSize());
        return;
    }
    const QStringList parts = size.split(QLatin1Char('x'));
    if (parts.size() == 2)
        window.resize(parts[0].toInt(), parts[1].toInt());
}

// For the README's screenshot: once the search started from the command line has ended, show
// the "Duplicates" list with its first picture selected and previewed, save a picture of the
// window and quit.
void saveScreenshotWhenDone(trevalo::MainWindow& window, const QString& file) {
    QObject::connect(&window, &trevalo::MainWindow::searchFinished, &window, [&window, file] {
        window.showList(trevalo::ListDuplicates);
        const auto& rows = window.resultModel(trevalo::ListDuplicates).rows();
        const auto picture = std::find_if(rows.begin(), rows.end(), [](const auto& row) {
            return trevalo::hasPictureExtension(row.name);
        });
        window.selectRow(picture == rows.end() ? 0 : static_cast<int>(picture - rows.begin()));
        window.fileCommands().preview();
        saveScreenshotSoon(window, file);
    });
}

// A saved results file named on the command line: a file (not a folder) whose name ends in
// ".json".
bool isResultsFile(const QString& argument) {
    const QFileInfo info(argument);
    return !info.isDir() && argument.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive);
}

// The search paths named on the command line, relative to the working folder: each becomes
// a path row with the pattern and sub-folder choice the set-up panel starts with (every file,
// sub-folders searched). What is not a folder that can be opened is named in a message box,
// with why, and left out. Returns whether any row was added.
bool addSearchPaths(trevalo::MainWindow& window, const QStringList& folders) {
    bool added = false;
    for (const QString& folder : folders) {
        if (isResultsFile(folder))
            continue;
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(
            std::filesystem::path(QFile::encodeName(folder).toStdString()), error);
        const trevalo::FileStatus status = trevalo::statPath(absolute.native());
        QString problem;
        if (status.kind == trevalo::FileKind::Missing || status.kind == trevalo::FileKind::Failed)
            problem = trevalo::displayText(status.error.text());
        else if (status.kind != trevalo::FileKind::Directory)
            problem = QCoreApplication::translate("main", "it is neither a folder to search nor "
                                                          "saved results (a FILE.json).");
        if (!problem.isEmpty()) {
            window.messageBox(
                QCoreApplication::translate("main", "%1 is not added to the search paths:\n%2")
                    .arg(folder, problem),
                QStringLiteral("Trevalo"));
            continue;
        }
        if (!error && window.addSearchPath(absolute.lexically_normal().native()))
            added = true;
    }
    return added;
}

// Starts the search at once; used to make the README's screenshot, so not listed.
QCommandLineOption searchOption() {
    QCommandLineOption option(QStringList{QStringLiteral("search")},
                              QStringLiteral("Add FOLDER and start the search at once."),
                              QStringLiteral("FOLDER"));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

// The options and arguments the program takes, with their descriptions in the user's
// language once it is loaded.
void describeOptions(QCommandLineParser& parser, const QCommandLineOption& search) {
    // Qt's own X11-style options (-platform, -reverse, ...) are single words, not letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "Finds files of zero length, files with identical contents and files that share "
                "a name."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(search);
    parser.addPositionalArgument(
        QStringLiteral("FOLDER"),
        QCoreApplication::translate(
            "main", "A folder to search: added to the search paths with every file in it and its "
                    "sub-folders. A FILE.json saved by Save Results or written by trevalo-scan "
                    "--json is opened into the lists instead."),
        QStringLiteral("[FOLDER...|FILE.json]"));
}

// The names of the options that Qt's own applications take (QGuiApplication and the X11
// platform), which the window's QApplication takes out of the arguments itself.
bool isQtOption(const QString& name) {
    static const QStringList kQtOptions = {
        QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"), QStringLiteral("plugin"),
        QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
        QStringLiteral("reverse"),       QStringLiteral("session"),
        QStringLiteral("style"),         QStringLiteral("stylesheet"),
        QStringLiteral("widgetcount"),   QStringLiteral("display"),
        QStringLiteral("geometry"),      QStringLiteral("name"),
        QStringLiteral("title"),         QStringLiteral("visual"),
        QStringLiteral("ncols"),         QStringLiteral("cmap"),
        QStringLiteral("nograb"),        QStringLiteral("dograb"),
        QStringLiteral("sync"),          QStringLiteral("testability")};
    return kQtOptions.contains(name);
}

// Answers --version, --help and an unknown option, which need no display (so that they work
// where no window can open, and an unknown option is told as an error, exit status 1); the
// exit status when it answered. Other errors are left to the window's parser, once
// QApplication has taken its own options out of the arguments.
std::optional<int> answerWithoutDisplay(int argc, char** argv, const QCommandLineOption& search,
                                        const QString& version) {
    QCommandLineParser early;
    describeOptions(early, search);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    early.parse(arguments);
    if (early.isSet(QStringLiteral("version"))) {
        std::printf("trevalo %s\n", qPrintable(version));
        return 0;
    }
    if (early.isSet(QStringLiteral("help"))) {
        // The descriptions are translated once the language is loaded, which needs the
        // application object; a text-only one, so that no display is needed.
        const QCoreApplication textOnly(argc, argv);
        trevalo::loadUserLanguage();
        QCommandLineParser help;
        describeOptions(help, search);
        help.showHelp(0);
    }
    for (const QString& name : early.unknownOptionNames()) {
        if (!isQtOption(name)) {
            const QCoreApplication textOnly(argc, argv);
            trevalo::loadUserLanguage();
            const QByteArray typed = name.toLocal8Bit();
            const std::string why =
                trevalo::withArgs(trevalo::userText("ScanCommand", "unknown option '%1'"),
                                  {trevalo::terminalText(std::string_view(
                                      typed.constData(), static_cast<std::size_t>(typed.size())))});
            std::fprintf(stderr, "trevalo: %s\n%s\n", why.c_str(),
                         trevalo::userText("WindowCommand", "Try 'trevalo --help'.").c_str());
            return 1;
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    const QString version = QStringLiteral("%1.%2.%3")
                                .arg(TREVALO_VERSION_MAJOR)
                                .arg(TREVALO_VERSION_MINOR)
                                .arg(TREVALO_VERSION_PATCH);
    QCoreApplication::setApplicationName(QStringLiteral("Trevalo"));
    QCoreApplication::setApplicationVersion(version);

    const QCommandLineOption search = searchOption();
    if (const std::optional<int> status = answerWithoutDisplay(argc, argv, search, version))
        return *status;

    trevalo::tuneProcessForSearches();
    QApplication app(argc, argv);
    trevalo::loadUserLanguage();
    QApplication::setDesktopFileName(QStringLiteral(TREVALO_DESKTOP_ID));
    const QString icon = trevalo::dataFilePath(QStringLiteral("trevalo.svg"));
    if (!icon.isEmpty())
        QApplication::setWindowIcon(QIcon(icon));
    QCommandLineParser parser;
    describeOptions(parser, search);
    parser.process(app);

    trevalo::MainWindow window;
    window.show();

    const QString screenshot = qEnvironmentVariable("TREVALO_SCREENSHOT");
    if (!screenshot.isEmpty())
        sizeForScreenshot(window);
    addSearchPaths(window, parser.positionalArguments());
    for (const QString& argument : parser.positionalArguments()) {
        if (isResultsFile(argument)) {
            const std::string path = QFile::encodeName(argument).toStdString();
            QTimer::singleShot(0, &window, [&window, path] { window.openResultsFrom(path); });
            break; // one set of lists at a time
        }
    }
    if (addSearchPaths(window, parser.values(search))) {
        if (!screenshot.isEmpty())
            saveScreenshotWhenDone(window, screenshot);
        QTimer::singleShot(0, &window, [&window] { window.startOrCancelSearch(); });
    } else if (!screenshot.isEmpty()) {
        saveScreenshotSoon(window, screenshot);
    }
    return QApplication::exec();
}
