#pragma once
// The labels of the two exchange wizards' pages.
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace exchangewizard {

// A label at `geometry` whose text is shown as it is, never as markup: names of classes,
// subjects, students and files, and comments, may come from elsewhere.
QLabel* label(const QString& text, QWidget* parent, const QRect& geometry, bool wrap = true);
// An empty bold label on one line, for a value beside its caption.
QLabel* boldValue(QWidget* parent, const QRect& geometry);

}  // namespace exchangewizard
