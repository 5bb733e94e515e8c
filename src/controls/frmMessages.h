#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class vskAdvLabel;

// The list of refused inputs or of next steps: the caller sets the heading, adds the lines
// to vskAL, calls vskAL->Show() and shows the window modal, which then fits its lines.
// Closing it in any way unloads it, so the next use starts with an empty list.
class frmMessages : public QDialog {
    Q_OBJECT
public:
    frmMessages();

    QLabel* lblInfo;
    vskAdvLabel* vskAL;
    QLabel* lblOverFlow;
    QPushButton* cmdClose;

    void reject() override;
    void setVisible(bool visible) override;

private:
    void unloadSelf();
    // Gives the heading the lines it needs and the list the height of its lines, within the
    // screen: the window grows or shrinks around them.
    void fitToLines();

    QLabel* m_icon = nullptr;
};
