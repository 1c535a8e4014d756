// SPDX-License-Identifier: GPL-3.0-or-later
// The one way the program saves an image (every PNG, SVG and PDF), through the text
// layer's whole write (LineWriter::open_whole): the
// bytes go to a temporary file beside the target, which replaces the target only once
// every byte is written, flushed and closed. On any failure the old file stays as it
// was and no partial file is left.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace teravine {

// Nothing on success; otherwise the system's reason ("No space left on device").
// A target that exists but is no regular file (a folder, a device, a pipe) is refused
// without being touched.
std::optional<QString> save_file_atomically(const QString& path, const QByteArray& bytes);

} // namespace teravine
