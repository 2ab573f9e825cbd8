#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class Platform;

// The about window: product name, version, rights and web address, and "OK".
class Form2d : public QWidget
{
    Q_OBJECT
public:
    explicit Form2d(Platform& platform);

    void Command1_Click();

    QLabel* Label1;
    QPushButton* Command1;
    QLabel* lblVersion;
    QLabel* lblDisclaimer;
    QLabel* Label2;
    QLabel* Image1;
};
