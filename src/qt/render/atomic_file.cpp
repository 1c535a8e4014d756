// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/atomic_file.h"

#include <QFileInfo>
#include <QSaveFile>

namespace teravine {

std::optional<QString> save_file_atomically(const QString& path, const QByteArray& bytes) {
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        return QStringLiteral("not a regular file (a folder, a device or a pipe); nothing was "
                              "written");
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    // A full disk may take part of a write without any error; the rest is offered again
    // until the system names its reason.
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 took = file.write(bytes.constData() + done, bytes.size() - done);
        if (took <= 0) {
            break;
        }
        done += took;
    }
    // commit() flushes too, but does not look at that flush's outcome.
    if (done < bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("the file system took only %1 of %2 bytes")
                                         .arg(done)
                                         .arg(bytes.size());
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}

} // namespace teravine
