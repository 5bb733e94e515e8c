#pragma once
#include <QDialog>
#include <QPixmap>
#include <QVector>
#include <functional>

class QLabel;
class QPushButton;

// Where the parts of the message box go, in twips and client coordinates: the box widens
// in steps of 100 from its designed width until the button row fits and the box is at
// least three times as wide as it is high, or until it reaches the widest box allowed.
struct MsgBoxLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    int labelLeft = 0;
    int labelWidth = 0;
    int buttonsTop = 0;
    QVector<int> buttonLefts;
};

struct MsgBoxMetrics {
    int designWidth = 4695;
    int iconLeft = 100, iconTop = 120, iconWidth = 480, iconHeight = 480;
    int labelTop = 240;
    int buttonWidth = 1215, buttonHeight = 345, buttonCount = 0;
    int minLabelWidth = 0;   // the longest word of the message
    int maxClientWidth = 0;  // 0: no limit
};

MsgBoxLayout layoutMsgBox(const MsgBoxMetrics& m, const std::function<int(int labelWidth)>& labelHeight);

// The program's own modal message box. Protocol: set Message, PictureType (and Title),
// then FormType, then FocusedButton if need be; show it through platform::showModal and
// read Tag(): "1", "2" or "3" for the button pressed, "" when closed without a button.
class frmMsgBox : public QDialog {
    Q_OBJECT
public:
    frmMsgBox();

    int FormType() const { return m_formType; }
    void setFormType(int formType);
    void HelpButton(int helpContextId) { m_helpContextId = helpContextId; }
    int PictureType() const { return m_pictureType; }
    void setPictureType(int pictureType);
    void CustomPicture(const QPixmap& picture);
    QString Message() const { return m_message; }
    void setMessage(const QString& message);
    QString Title() const { return windowTitle(); }
    void setTitle(const QString& title) { setWindowTitle(title); }
    void setFocusedButton(int button);
    void ClearAllButtons();

    QString Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    // Visible buttons 1..n are cmdAction[0..n-1].
    QVector<QPushButton*> cmdAction;
    QLabel* imaIcon;
    QLabel* lblMessage;

    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void addButton(const QString& caption, const QString& tag);
    void cmdAction_Click(QPushButton* button);
    void setIcon(const QPixmap& picture);
    void layOut();

    int m_formType = 0;
    int m_pictureType = 0;
    int m_focusedButton = 0;
    int m_helpContextId = 0;
    QString m_message;
    QString m_tag;
    QPushButton* m_cancel = nullptr;
    QSize m_iconSize{32, 32};
};
