#include "reading_order.h"

#include <QLabel>

#include <algorithm>

namespace tavex::test {

QPoint PlaceIn(const QWidget& dialog, const QWidget& child) { return child.mapTo(&dialog, QPoint(0, 0)); }

QStringList LabelTextsInReadingOrder(const QWidget& dialog)
{
    QList<const QLabel*> labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            labels.append(label);
        }
    }
    std::sort(labels.begin(), labels.end(), [&](const QLabel* left, const QLabel* right) {
        const QPoint a = PlaceIn(dialog, *left);
        const QPoint b = PlaceIn(dialog, *right);
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    QStringList texts;
    for (const QLabel* label : labels) {
        texts.append(label->text());
    }
    return texts;
}

} // namespace tavex::test
