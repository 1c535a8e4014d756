// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/atomic_file.h"

#include "text/text_file.h"

#include <QFileInfo>

#include <string_view>

namespace teravine {

std::optional<QString> save_file_atomically(const QString& path, const QByteArray& bytes) {
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        return QStringLiteral("not a regular file (a folder, a device or a pipe); nothing was "
                              "written");
    }
    LineWriter out(""); // the bytes are written as they are
    if (out.open_whole(path.toStdString())) {
        return QString::fromStdString(out.reason());
    }
    out.line(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (out.close()) {
        return QString::fromStdString(out.reason());
    }
    return std::nullopt;
}

} // namespace teravine
