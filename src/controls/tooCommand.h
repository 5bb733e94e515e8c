#pragma once
#include "MouseEventWidget.h"
#include "platform/OleColor.h"

#include <QImage>
#include <QPixmap>
#include <functional>

// The flat picture button: a picture at its natural size with no border, a raised frame
// while the pointer is over it and a short sunken flash when it is pressed.
class tooCommand : public MouseEventWidget {
    Q_OBJECT
public:
    explicit tooCommand(QWidget* parent = nullptr);

    QPixmap Picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);
    QPixmap DisabledPicture() const { return m_disabledPicture; }
    void setDisabledPicture(const QPixmap& picture);
    QPixmap HotPicture() const { return m_hotPicture; }
    void setHotPicture(const QPixmap& picture);

    bool Enabled() const { return m_enabled; }
    // Hides QWidget::setEnabled so that disabling also ends the hover and swaps pictures.
    void setEnabled(bool enabled);

    QPixmap MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QPixmap& icon);
    int MousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);

    platform::OleColor BackColor() const { return m_backColor; }
    void setBackColor(platform::OleColor color);
    platform::OleColor LeftShadow() const { return m_leftShadow; }
    void setLeftShadow(platform::OleColor color);
    platform::OleColor RightShadow() const { return m_rightShadow; }
    void setRightShadow(platform::OleColor color);
    bool UseMaskColor() const { return m_useMaskColor; }
    void setUseMaskColor(bool use);
    platform::OleColor MaskColor() const { return m_maskColor; }
    void setMaskColor(platform::OleColor color);

    // The free text that the container keeps on each of its controls.
    QString Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    // The picture on show, as drawn on the control (back colour and mask applied, no frame).
    QImage shownSurface() const { return m_surface; }

    // What holds the GUI thread while a press shows its sunken frame (50 ms); tests put
    // their own here to look at the frame.
    using PressFlash = std::function<void(tooCommand&)>;
    static void setPressFlash(PressFlash flash);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // A picture scrolled out of sight is no longer under the pointer.
    void hideEvent(QHideEvent* event) override;

private:
    const QPixmap& shownPicture() const;
    void refreshSurface();
    void endHover();

    QPixmap m_picture, m_disabledPicture, m_hotPicture, m_mouseIcon;
    bool m_enabled = true;
    int m_mousePointer = 0;
    platform::OleColor m_backColor = platform::sys::ButtonFace;
    platform::OleColor m_leftShadow = platform::sys::ButtonFace;
    platform::OleColor m_rightShadow = platform::sys::DarkShadow3D;
    bool m_useMaskColor = false;
    platform::OleColor m_maskColor = 0;
    QString m_tag;

    bool m_hovering = false;
    bool m_flashing = false;
    QImage m_surface;
};
