// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/desktop/DesktopOpen.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace trevalo {

namespace {
// A launcher still running after this long has started a program and waits for it.
constexpr std::chrono::seconds kFailureWindow{10};
constexpr const char* kLauncher = "xdg-open";
} // namespace

QUrl fileUrlOf(const std::string& bytePath) {
    QByteArray bytes = QByteArray::fromStdString(bytePath);
    if (!bytes.startsWith('/'))
        bytes = QFile::encodeName(QDir::currentPath()) + '/' + bytes;
    const QByteArray path = bytes.toPercentEncoding("/");
    return QUrl::fromEncoded(QByteArrayLiteral("file://") + path, QUrl::StrictMode);
}

QString launcherFailure(int exitStatus) {
    switch (exitStatus) {
    case 0:
        return {};
    case 2:
        return QCoreApplication::translate("DesktopOpen", "it does not exist");
    case 3:
        return QCoreApplication::translate("DesktopOpen",
                                           "the desktop has no program set up to open it");
    case 4:
        return QCoreApplication::translate("DesktopOpen", "the program set up to open it failed");
    default:
        return QCoreApplication::translate("DesktopOpen", "%1 ended with status %2")
            .arg(QLatin1String(kLauncher))
            .arg(exitStatus);
    }
}

namespace {

// Starts `program` (a path) with `arguments` and waits for it on a thread of its own, so that
// it leaves no zombie however long it runs; `ended` gets its exit status (or 128 + the signal)
// and whether it ended within kFailureWindow. Returns why it could not be started, or nothing.
QString startWatched(const QString& program, const QList<QByteArray>& arguments,
                     std::function<void(int status, bool soon)> ended) {
    const QByteArray path = QFile::encodeName(program);
    std::vector<char*> argv{const_cast<char*>(path.constData())};
    for (const QByteArray& argument : arguments)
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, path.constData(), nullptr, nullptr, argv.data(), environ);
    if (error != 0)
        return QCoreApplication::translate("DesktopOpen", "%1 could not be started: %2")
            .arg(program, QString::fromLocal8Bit(std::strerror(error)));
    std::jthread([pid, ended = std::move(ended)] {
        const auto started = std::chrono::steady_clock::now();
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        const bool soon = std::chrono::steady_clock::now() - started <= kFailureWindow;
        ended(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), soon);
    }).detach();
    return {};
}

} // namespace

QString openWithDesktop(const QUrl& url, OpenFailed failed) {
    const QString launcher = QStandardPaths::findExecutable(QString::fromLatin1(kLauncher));
    if (launcher.isEmpty())
        return QCoreApplication::translate("DesktopOpen",
                                           "no program to open it is installed (%1 was not found)")
            .arg(QLatin1String(kLauncher));
    return startWatched(launcher, {url.toEncoded()},
                        [failed = std::move(failed)](int status, bool soon) {
                            if (soon && status != 0 && failed)
                                failed(launcherFailure(status));
                        });
}

QString showInFileManager(const std::string& bytePath, OpenFailed failed) {
    std::string folder = bytePath.substr(0, bytePath.rfind('/') + 1);
    if (folder.size() > 1)
        folder.pop_back();
    const QUrl folderUrl = fileUrlOf(folder.empty() ? std::string(".") : folder);
    const QString send = QStandardPaths::findExecutable(QStringLiteral("dbus-send"));
    if (send.isEmpty())
        return openWithDesktop(folderUrl, std::move(failed));
    const QList<QByteArray> call = {"--session",
                                    "--print-reply",
                                    "--dest=org.freedesktop.FileManager1",
                                    "/org/freedesktop/FileManager1",
                                    "org.freedesktop.FileManager1.ShowItems",
                                    "array:string:" + fileUrlOf(bytePath).toEncoded(),
                                    "string:"};
    // Without a file manager that answers the call, the folder opens as a document does.
    return startWatched(send, call, [folderUrl, failed = std::move(failed)](int status, bool) {
        if (status == 0)
            return;
        const QString why = openWithDesktop(folderUrl, failed);
        if (!why.isEmpty() && failed)
            failed(why);
    });
}

} // namespace trevalo
