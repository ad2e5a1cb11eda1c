#include "gui/qt/name_filters.h"

namespace tavex {

QStringList QtNameFilters(std::string_view pairs)
{
    const QStringList parts = QString::fromUtf8(pairs.data(), static_cast<qsizetype>(pairs.size())).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& label = parts[i];
        const QString& pattern = parts[i + 1];
        if (label.isEmpty() && pattern.isEmpty()) {
            break;
        }
        const QString suffix = QStringLiteral("(%1)").arg(pattern);
        filters << (label.endsWith(suffix) ? label : QStringLiteral("%1 %2").arg(label, suffix));
    }
    return filters;
}

} // namespace tavex
