#pragma once

#include <QMargins>
#include <QSize>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

class ImageControl;
class Platform;
class PictureBox;
class QAction;
class QPrinter;
class QLineEdit;
class QMenu;
class QToolButton;
class ScrollBar;

// The picture viewer: one picture of the renaming window's folder, with scroll bars and zoom.
// Every opening creates a new, independent instance that deletes itself when closed.
class Form3d : public QWidget
{
    Q_OBJECT
public:
    // mainFolder gives the folder the renaming window shows, read when the picture loads.
    Form3d(Platform& platform, std::function<QString()> mainFolder);

    static const QString kSaveFilter;

    // Outer size in twips, frame included; setting a new size runs Form_Resize at once.
    int widthTwips();
    void setWidthTwips(int twips);
    int heightTwips();
    void setHeightTwips(int twips);

    // Sizes a new viewer to its picture before it is first shown (the opening's sizing).
    void sizeForOpening();

    // What the window manager's frame adds to the client size.
    QSize frameMargin();

    void Form_Load();
    void Form_Resize();
    void Form_Unload(std::int16_t& cancel);
    void Imag_MouseUp(int button);
    void pict_MouseUp(int button);
    void HScroll1_Change();
    void HScroll1_Scroll();
    void VScroll1_Change();
    void VScroll1_Scroll();
    void mnuZin_Click();
    void mnZout_Click();
    void mnuG_Click();
    void mnuFit_Click();
    void mnuSave_Click();
    void mnuPrint_Click();
    void mnuCls_Click();
    void mnuEnd_Click();
    void Toolbar1_ButtonClick(const QString& key);

    std::int32_t OrigWidth = 0;
    std::int32_t OrigHeight = 0;
    std::int32_t ZoomMilli = 0;
    std::int32_t ZoomPercent = 0;

    PictureBox* Toolbar1;
    QLineEdit* Text1;
    QToolButton* btnZin;
    QToolButton* btnG;
    QToolButton* btnZout;
    PictureBox* pict;
    PictureBox* Pd;
    ScrollBar* VScroll1;
    ScrollBar* HScroll1;
    ImageControl* Imag;

    QMenu* mnuR;
    QAction* mnuCls;
    QAction* mnuSave;
    QAction* mnuPrint;
    QAction* sepa;
    QAction* mnuZin;
    QAction* mnZout;
    QAction* mnuG;
    QAction* mnuFit;
    QAction* sep;
    QAction* mnuEnd;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenu();
    void connectHandlers();
    // The client area in pixels; 0 x 0 while minimized.
    QSize scaleSize() const;
    void resizeClient(QSize client);
    void keepInsideWorkArea();
    void applyShownFrame();
    void takeBackWindowManagersMaximise();
    void applyRequestedSize();
    bool panByKey(const QKeyEvent* event);
    void panByWheel(const QWheelEvent* event);
    void zoomStepMenu(bool in);
    void zoomStepToolbar(bool in);
    // What printing from the menu and from the toolbar does: the print dialog, then the picture.
    void showPrintDialog();
    void showZoom();

    Platform& platform_;
    std::function<QString()> mainFolder_;
    QString fileName_; // the shown file's name, without its folder, as it was opened
    QString folder_;   // the folder it was opened from
    bool frameAsked_ = false;
    std::optional<QMargins> askedFrame_;
    QSize requestedTwips_; // the outer size last asked for
    // How the size last made for the picture (at the opening, or by fit window) is made: again
    // once the frame is known.
    std::function<QSize()> pictureSize_;
    bool placingWatched_ = false;
    bool placing_ = false; // shown, and still being placed by the window manager
    bool takingBackMaximise_ = false;
    int wheelRest_ = 0; // wheel turns below one notch, kept for the next
};
