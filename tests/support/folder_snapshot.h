#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

// Every entry of a folder (name, kind, permissions, content hash): two equal snapshots mean not a
// byte was written and no file came or went.
inline QStringList folderSnapshot(const QString& folder) {
    QStringList lines;
    const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(all, QDir::Name)) {
        QFile file(entry.filePath());
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        lines << entry.fileName() + ' ' + QString::number(entry.isDir()) + ' ' +
                     QString::number(entry.permissions().toInt(), 16) + ' ' +
                     QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    }
    return lines;
}

// Runs `work` in a child process as the unprivileged user "nobody" (root ignores file
// permissions), and gives its result (0 to 255), or -1 when that could not be arranged.
inline int runUnprivileged(const std::function<int()>& work) {
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child != 0) {
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    constexpr unsigned kNobody = 65534;
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
        _exit(255);
    _exit(work());
}
