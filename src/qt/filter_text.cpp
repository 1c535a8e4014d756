// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/filter_text.h"

#include <QStringList>

#include <algorithm>

namespace teravine {

QString case_blind_pattern(const QString& pattern) {
    QString out;
    for (const QChar c : pattern) {
        const QChar lower = c.toLower();
        const QChar upper = c.toUpper();
        if (c.isLetter() && lower != upper) {
            out += QLatin1Char('[') + lower + upper + QLatin1Char(']');
        } else {
            out += c;
        }
    }
    return out;
}

QString first_suffix(const QString& filter) {
    const QStringList items = filter.split(QLatin1Char('|'));
    if (items.size() < 2) {
        return {};
    }
    const QString pattern = items[1].split(QLatin1Char(';')).front().trimmed();
    if (!pattern.startsWith(QLatin1String("*."))) {
        return {};
    }
    const QString suffix = pattern.mid(2);
    const bool plain = !suffix.isEmpty() && std::all_of(suffix.begin(), suffix.end(), [](QChar c) {
        return c.isLetterOrNumber();
    });
    return plain ? suffix : QString();
}

QString qt_file_filter(const QString& filter) {
    const QStringList items = filter.split(QLatin1Char('|'));
    QStringList entries;
    // Items come in pairs; a trailing bar leaves an empty last item, which is dropped.
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        const QString description = items[i].trimmed();
        QStringList patterns;
        for (const QString& pattern : items[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << case_blind_pattern(pattern.trimmed());
        }
        if (description.isEmpty() && patterns.isEmpty()) {
            continue;
        }
        entries << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace teravine
