#pragma once

#include <QPushButton>

// A push button that Enter presses while it has the focus, as on every desktop. Outside a
// dialog Qt's buttons take only Space.
class CommandButton : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
