// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/desktop/DesktopOpen.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

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
        return QStringLiteral("it does not exist");
    case 3:
        return QStringLiteral("the desktop has no program set up to open it");
    case 4:
        return QStringLiteral("the program set up to open it failed");
    default:
        return QStringLiteral("%1 ended with status %2")
            .arg(QLatin1String(kLauncher))
            .arg(exitStatus);
    }
}

QString openWithDesktop(const QUrl& url, OpenFailed failed) {
    const QString launcher = QStandardPaths::findExecutable(QString::fromLatin1(kLauncher));
    if (launcher.isEmpty())
        return QStringLiteral("no program to open it is installed (%1 was not found)")
            .arg(QLatin1String(kLauncher));
    const QByteArray program = QFile::encodeName(launcher);
    const QByteArray address = url.toEncoded();
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(address.constData()),
                    nullptr};
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, program.constData(), nullptr, nullptr, argv, environ);
    if (error != 0)
        return QStringLiteral("%1 could not be started: %2")
            .arg(launcher, QString::fromLocal8Bit(std::strerror(error)));
    // The launcher is waited for on a thread of its own, so that it leaves no zombie, however
    // long the program it started runs.
    std::thread([pid, failed = std::move(failed)] {
        const auto started = std::chrono::steady_clock::now();
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (std::chrono::steady_clock::now() - started > kFailureWindow || !failed)
            return;
        if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
            failed(launcherFailure(WEXITSTATUS(status)));
        else if (WIFSIGNALED(status))
            failed(QStringLiteral("%1 was ended by signal %2")
                       .arg(QLatin1String(kLauncher))
                       .arg(WTERMSIG(status)));
    }).detach();
    return {};
}

} // namespace trevalo
