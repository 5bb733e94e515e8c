#pragma once
#include <QStringList>
#include <QVector>
#include <functional>

class QBoxLayout;
class QPushButton;
class QWidget;

// The row of buttons that ends every editing dialog, right-aligned under its content:
// cmdAction(0) the action, the default button; the next ones close or cancel. A click
// calls `click` with the button's index.
QVector<QPushButton*> addActionButtons(QWidget& dialog, QBoxLayout& layout, const QStringList& captions,
                                       const std::function<void(int Index)>& click);
