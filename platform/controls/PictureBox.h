#pragma once

#include <QAccessible>
#include <QWidget>
#include <functional>

class QMouseEvent;
class QWheelEvent;

// A picture box: a plain container that clips its children. Every mouse release over it is
// accepted here, so that it never reaches the container (only onMouseUp sees it).
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    std::function<void(int button)> onMouseUp;
    // The wheel over the box (or over a child that lets it pass); unset, the wheel goes on up.
    std::function<void(QWheelEvent* event)> onWheel;

    // What the box is to assistive technology: a pane unless told otherwise (a tool bar).
    QAccessible::Role accessibleRole() const { return role_; }
    void setAccessibleRole(QAccessible::Role role) { role_ = role; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QAccessible::Role role_ = QAccessible::Pane;
};
