// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Recent": the sessions, lists, width files and patterns last opened, newest first,
// kept in the user's settings; choosing one opens it again.
#pragma once

#include <QObject>

#include <functional>
#include <string>

class QMenu;

namespace teravine {

class RecentFiles : public QObject {
public:
    static constexpr int kKept = 10;

    // `open` opens a file as a drop onto the window would.
    RecentFiles(QMenu* menu, std::function<void(const std::string& path)> open);

    // A file just opened, put first (once) when it is of a kind the menu opens.
    void remember(const std::string& path);

private:
    void show_entries();

    QMenu* menu_;
    std::function<void(const std::string&)> open_;
};

} // namespace teravine
