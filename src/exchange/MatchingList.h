#pragma once
#include <QTreeWidget>

// The list of the import's matching page: a file's student, the gradebook's student and
// their class, on one row each. Two names and a class are more than its width holds on one
// line, so its cells and headings wrap. Its width is shared among the columns in proportion
// to what their longest texts need on one line, none narrower than its longest word, so that
// a long class name takes about as many lines as the names beside it; each row is as tall as
// its most wrapped cell. Rows of several lines are told apart by their shades.
class MatchingList : public QTreeWidget {
public:
    explicit MatchingList(QWidget* parent);

    // Shares the width anew, after the texts changed; a resize does it by itself.
    void fitColumns();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    bool m_fitting = false;
};
