#pragma once

// What a person reads in a dialog, top to bottom and left to right.

#include <QPoint>
#include <QStringList>
#include <QWidget>

namespace tavex::test {

// The texts of the dialog's labels with any text, in reading order.
QStringList LabelTextsInReadingOrder(const QWidget& dialog);

// Where a child widget's top-left corner sits in the dialog.
QPoint PlaceIn(const QWidget& dialog, const QWidget& child);

} // namespace tavex::test
