#pragma once

#include "platform/controls/TextBox.h"

#include <QMainWindow>

class ComboBox;
class CommandButton;
class DirList;
class DriveList;
class FileList;
class Platform;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;

// The renaming window: drive, folder, filter, base name and width, and the serial renaming.
class Form1d : public QMainWindow
{
    Q_OBJECT
public:
    explicit Form1d(Platform& platform, QWidget* parent = nullptr);

    // The window's mouse pointer by legacy number: 13 busy, 0 default.
    int mousePointer() const { return mousePointer_; }
    void setMousePointer(int pointer);

    void Form_Load();
    void mend_Click();
    void mver_Click();
    void Command1_Click();
    void Command2_Click();
    void Drive1_Change();
    void Dir1_Change();
    void Combo1_Click();
    void File1_DblClick();
    void File1_MouseUp(int button);
    void File1_MenuKey();
    void OpenF_Click();

    DriveList* Drive1;
    DirList* Dir1;
    QLineEdit* Text1;
    ComboBox* Combo1;
    CommandButton* Command2;
    ComboBox* Combo2;
    CommandButton* Command1;
    FileList* File1;
    TextBox* Text2;
    QLabel* Label1;
    QMenu* mfile;
    QMenu* mhelp;
    QMenu* fff;
    QAction* mend;
    QAction* mver;
    QAction* yy;
    QAction* mfil;
    QAction* OpenF;

protected:
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void createMenus();
    void connectHandlers();
    void openViewer();
    void takeFocusBackAfter(QWidget* window);
    // Shows the nearest folder above folder that can be read, if any.
    void openNearestAbove(const QString& folder);
    // The client width for an outer width of 5670 twips, and never less than the controls need.
    int clientWidth(int frameWidth) const;
    QRect twipsRect(int left, int top, int width, int height) const;

    Platform& platform_;
    int mousePointer_ = 0;
    // The outer width in pixels, and whether the frame it includes is still to be learnt.
    int outerWidth_ = 0;
    bool frameUnknown_ = false;
    bool taskbarHintSet_ = false;
};
