// SPDX-License-Identifier: GPL-3.0-or-later
// File dialog filters: the "Description|patterns|...|" text the handlers pass, in the
// "Description (patterns);;..." form that Qt's file dialog takes.
#pragma once

#include <QString>

namespace teravine {

// Patterns ("*.COR;*.cor") are split on ';' and made case-insensitive ("*.[cC][oO][rR]"),
// so a file named x.cor shows under the "*.COR" filter as it would on a case-blind
// file system. The dialog is meant to hide the pattern part and show the description.
QString qt_file_filter(const QString& filter);

// The suffix of the first filter's first pattern ("IWO" for "...|*.IWO;*.iwo|..."),
// which a save dialog adds to a typed name that has none; empty when that pattern names
// no single suffix ("*.*").
QString first_suffix(const QString& filter);

// A pattern that matches its letters in either case.
QString case_blind_pattern(const QString& pattern);

} // namespace teravine
