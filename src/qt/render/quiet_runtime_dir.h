// SPDX-License-Identifier: GPL-3.0-or-later
// Qt warns on every start where XDG_RUNTIME_DIR is unset (cron, CI, containers, a plot
// from a build script) and then goes on with a private folder of its own, so the user
// can do nothing about it. That one warning is dropped; every other message of Qt still
// reaches standard error as before.
#pragma once

namespace teravine {

// Installs the filter in front of the message handler in place; call it before the
// application object is made. Calling it again does nothing.
void drop_runtime_dir_warning();

} // namespace teravine
