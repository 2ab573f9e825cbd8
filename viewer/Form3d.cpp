#include "viewer/Form3d.h"

#include "app/Module1.h"
#include "app/icon.h"
#include "core/DroppedFailures.h"
#include "core/FileNames.h"
#include "core/PlatformError.h"
#include "core/RuntimeError.h"
#include "core/Twips.h"
#include "core/join.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "platform/controls/Events.h"
#include "platform/controls/ImageControl.h"
#include "platform/controls/LayoutFont.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/ScrollBar.h"
#include "platform/desktop/Platform.h"
#include "platform/desktop/WindowSystem.h"
#include "platform/files/FileSave.h"
#include "viewer/PictureOutput.h"
#include "viewer/ViewerMetrics.h"
#include "viewer/toolbarIcon.h"
#include "viewer/zoom.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>

const QString Form3d::kSaveFilter =
    QStringLiteral("jpg|*.jpg|bmp|*.bmp|ico|*.ico|gif|*.gif|wmf|*.wmf|rle|*.rle|emf|*.emf|");

namespace {

using viewer::kBarThickness;
using viewer::kToolbarHeight;

// How long after it first shows a maximise comes from the window manager placing the window: on
// X11 it is there when the window maps, mutter on Wayland sends it a moment later.
constexpr int kPlacingMs = 1000;

// Move with a size: a negative width or height is refused, as the layout routine expects.
void moveControl(QWidget* widget, double left, double top, double width, double height)
{
    if (width < 0 || height < 0)
        throw RuntimeError::invalidPropertyValue(QStringLiteral("Move"));
    widget->setGeometry(toInt32(left), toInt32(top), toInt32(width), toInt32(height));
}

void moveControl(QWidget* widget, double left, double top)
{
    widget->move(toInt32(left), toInt32(top));
}

// The zoom box's font as designed, "ＭＳ Ｐゴシック" 9.75 pt, or the program's own where the
// system lacks it.
QFont zoomBoxFont()
{
    QFont font(QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("DejaVu Sans"),
                           QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Normal);
    return font;
}

// The zoom box is narrower than "4526%" or "表示倍率": the text shows whole, in the box's font or
// as much smaller as it needs, and from its start (a line edit scrolls to its cursor at the end).
void showWhole(QLineEdit* box, const QString& text)
{
    box->setFont(fittingFont(zoomBoxFont(), captionsOf(box, {text})));
    box->setText(text);
    box->setCursorPosition(0);
}

} // namespace

Form3d::Form3d(Platform& platform, std::function<QString()> mainFolder)
    : QWidget(nullptr, Qt::Window), platform_(platform), mainFolder_(std::move(mainFolder))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("Form3d"));
    setWindowIcon(programIcon());
    createControls();
    createMenu();
    connectHandlers();
    resize(twipsToPixels(4215, platform_.twipsPerPixelX()),
           twipsToPixels(3690, platform_.twipsPerPixelY()));
    Form_Load();
}

void Form3d::createControls()
{
    const double tx = platform_.twipsPerPixelX();
    const double ty = platform_.twipsPerPixelY();

    // Created in tab order: pict, HScroll1, VScroll1, Pd, Toolbar1, Text1. Imag comes first
    // inside pict so that the bars and the corner square lie above it.
    pict = new PictureBox(this);
    pict->setObjectName(QStringLiteral("pict"));
    pict->setAccessibleName(QStringLiteral("画像"));
    // First in the tab order, so that the window opens with the keys going to the picture.
    pict->setFocusPolicy(Qt::StrongFocus);
    Imag = new ImageControl(pict);
    Imag->setObjectName(QStringLiteral("Imag"));
    Imag->setAccessibleName(QStringLiteral("表示画像"));
    Imag->setWidthF(float(twipsToPixels(615, tx)));
    Imag->setHeightF(float(twipsToPixels(615, ty)));
    HScroll1 = new ScrollBar(Qt::Horizontal, pict);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setAccessibleName(QStringLiteral("横スクロール"));
    VScroll1 = new ScrollBar(Qt::Vertical, pict);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setAccessibleName(QStringLiteral("縦スクロール"));
    Pd = new PictureBox(pict);
    Pd->setObjectName(QStringLiteral("Pd"));
    Pd->setGeometry(0, 0, kBarThickness, kBarThickness);
    Pd->setAutoFillBackground(true);
    Pd->setAccessibleName(QStringLiteral("角"));

    Toolbar1 = new PictureBox(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setAccessibleName(QStringLiteral("ツールバー"));
    Toolbar1->setAccessibleRole(QAccessible::ToolBar);
    Toolbar1->setGeometry(0, 0, width(), kToolbarHeight);
    Text1 = new QLineEdit(Toolbar1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("表示倍率"));
    Text1->setReadOnly(true);
    Text1->setGeometry(twipsToPixels(QRect(1080, 23, 650, 320), tx, ty));
    showWhole(Text1, QStringLiteral("表示倍率"));

    struct Button
    {
        QToolButton** button;
        const char* key;
        const char* kanji;
    };
    const Button buttons[] = {
        {&btnZin, "btnZin", "拡"},
        {&btnG, "btnG", "実"},
        {&btnZout, "btnZout", "縮"},
    };
    int left = 0;
    for (const Button& b : buttons) {
        auto* button = new QToolButton(Toolbar1);
        button->setObjectName(QString::fromLatin1(b.key));
        button->setIcon(kanjiIcon(QString::fromUtf8(b.kanji)));
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(true);
        button->setAccessibleName(QString::fromUtf8(b.kanji));
        button->setGeometry(left, 2, 23, 22);
        left += 23;
        *b.button = button;
    }
    btnZin->setToolTip(QStringLiteral("拡"));
    btnZin->setAccessibleDescription(btnZin->toolTip());
}

void Form3d::createMenu()
{
    mnuR = new QMenu(QStringLiteral("右メニュー"), this);
    mnuR->setObjectName(QStringLiteral("mnuR"));
    mnuR->setAccessibleName(mnuR->title());
    auto item = [this](const char* name, const char* caption) {
        QAction* action = mnuR->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    auto separator = [this](const char* name) {
        QAction* action = mnuR->addSeparator();
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnuCls = item("mnuCls", "閉じる");
    mnuSave = item("mnuSave", "名前を付けて保存");
    mnuPrint = item("mnuPrint", "印刷");
    sepa = separator("sepa");
    mnuZin = item("mnuZin", "拡大 10%");
    mnZout = item("mnZout", "縮小 10%");
    mnuG = item("mnuG", "実物大");
    mnuFit = item("mnuFit", "ウィンドウサイズを合わせる");
    sep = separator("sep");
    mnuEnd = item("mnuEnd", "終了");

    // The usual keys, shown beside the captions. The window holds the actions too, so that
    // the keys work while the menu is closed.
    auto keys = [](std::initializer_list<QKeyCombination> combos) {
        QList<QKeySequence> sequences;
        for (QKeyCombination combo : combos)
            sequences << QKeySequence(combo);
        return sequences;
    };
    mnuCls->setShortcuts(keys({Qt::CTRL | Qt::Key_W}));
    mnuSave->setShortcuts(keys({Qt::CTRL | Qt::Key_S}));
    mnuPrint->setShortcuts(keys({Qt::CTRL | Qt::Key_P}));
    mnuZin->setShortcuts(keys({QKeyCombination(Qt::Key_Plus), Qt::CTRL | Qt::Key_Plus}));
    mnZout->setShortcuts(keys({QKeyCombination(Qt::Key_Minus), Qt::CTRL | Qt::Key_Minus}));
    mnuG->setShortcuts(keys({QKeyCombination(Qt::Key_0), Qt::CTRL | Qt::Key_0}));
    mnuEnd->setShortcuts(keys({Qt::CTRL | Qt::Key_Q}));
    addActions(mnuR->actions());
}

void Form3d::connectHandlers()
{
    Imag->onMouseUp = [this](int button) { Imag_MouseUp(button); };
    pict->onMouseUp = [this](int button) { pict_MouseUp(button); };
    pict->onWheel = [this](QWheelEvent* event) { panByWheel(event); };
    HScroll1->onChange = [this] { HScroll1_Change(); };
    HScroll1->onScroll = [this] { HScroll1_Scroll(); };
    VScroll1->onChange = [this] { VScroll1_Change(); };
    VScroll1->onScroll = [this] { VScroll1_Scroll(); };

    const std::pair<QAction*, void (Form3d::*)()> items[] = {
        {mnuCls, &Form3d::mnuCls_Click},     {mnuSave, &Form3d::mnuSave_Click},
        {mnuPrint, &Form3d::mnuPrint_Click}, {mnuZin, &Form3d::mnuZin_Click},
        {mnZout, &Form3d::mnZout_Click},     {mnuG, &Form3d::mnuG_Click},
        {mnuFit, &Form3d::mnuFit_Click},     {mnuEnd, &Form3d::mnuEnd_Click},
    };
    for (const auto& item : items) {
        const auto handler = item.second;
        connect(item.first, &QAction::triggered, this,
                [this, handler] { guarded([&] { (this->*handler)(); }); });
    }
    for (QToolButton* button : {btnZin, btnG, btnZout})
        connect(button, &QToolButton::clicked, this,
                [this, button] { guarded([&] { Toolbar1_ButtonClick(button->objectName()); }); });
}

QSize Form3d::scaleSize() const
{
    return isMinimized() ? QSize(0, 0) : size();
}

QSize Form3d::frameMargin()
{
    // Once the window manager has framed the shown window, Qt knows the frame. Before, Qt knows
    // none, and the window manager is asked, once.
    if (isVisible()) {
        const QSize shown = frameGeometry().size() - geometry().size();
        if (shown.width() > 0 || shown.height() > 0)
            return shown;
    }
    if (!frameAsked_) {
        frameAsked_ = true;
        askedFrame_ = platform_.frameExtents(this);
    }
    const QMargins frame = askedFrame_.value_or(QMargins());
    return QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
}

int Form3d::widthTwips()
{
    return pixelsToTwips(width() + frameMargin().width(), platform_.twipsPerPixelX());
}

int Form3d::heightTwips()
{
    return pixelsToTwips(height() + frameMargin().height(), platform_.twipsPerPixelY());
}

void Form3d::setWidthTwips(int twips)
{
    requestedTwips_.setWidth(twips);
    const int outer = twipsToPixels(twips, platform_.twipsPerPixelX());
    resizeClient(QSize(std::max(0, outer - frameMargin().width()), height()));
}

void Form3d::setHeightTwips(int twips)
{
    requestedTwips_.setHeight(twips);
    const int outer = twipsToPixels(twips, platform_.twipsPerPixelY());
    resizeClient(QSize(width(), std::max(0, outer - frameMargin().height())));
}

void Form3d::keepInsideWorkArea()
{
    if (!isVisible()
        || (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QRect area = platform_.workAreaPixels();
    const QSize outer = size() + frameMargin();
    // pos() of a window is where its frame begins.
    const QPoint at(std::max(area.left(), std::min(x(), area.right() + 1 - outer.width())),
                    std::max(area.top(), std::min(y(), area.bottom() + 1 - outer.height())));
    if (at != pos())
        move(at);
}

void Form3d::resizeClient(QSize client)
{
    const QSize before = size();
    resize(client);
    // Qt delivers the resize event later, or not at all while hidden; the layout cannot wait.
    if (size() != before)
        Form_Resize();
}

void Form3d::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    guarded([&] { Form_Resize(); });
    if (takingBackMaximise_ && !isMaximized() && requestedTwips_.isValid()
        && size() + frameMargin()
            != QSize(twipsToPixels(requestedTwips_.width(), platform_.twipsPerPixelX()),
                     twipsToPixels(requestedTwips_.height(), platform_.twipsPerPixelY()))) {
        takingBackMaximise_ = false;
        QTimer::singleShot(0, this, [this] { applyRequestedSize(); });
    }
}

void Form3d::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    applyShownFrame();
}

void Form3d::applyShownFrame()
{
    // A frame that the window manager did not tell beforehand (kwin, or Qt's own title bar on
    // Wayland), or told otherwise than it drew: once the frame shows, the outer size asked for
    // is applied again, with the frame as it is.
    if (!frameAsked_ || !isVisible() || frameGeometry().size() == size()
        || (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    const QMargins shown(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    if (askedFrame_ == shown)
        return;
    askedFrame_ = shown;
    applyRequestedSize();
    guarded([&] { keepInsideWorkArea(); });
}

bool Form3d::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()
        && placing_) {
        windowHandle()->removeEventFilter(this);
        takeBackWindowManagersMaximise();
        QTimer::singleShot(kPlacingMs, this, [this] { placing_ = false; });
    }
    return QWidget::eventFilter(watched, event);
}

void Form3d::takeBackWindowManagersMaximise()
{
    // kwin and mutter maximise a new window that nearly fills the work area, mutter for good.
    // Such a maximise comes as the window is placed, before the user can have asked for one:
    // the window takes its own size back, so that the zoom steps fit it to the picture again.
    if (!maximisedAnyWay(this))
        return;
    unmaximise(this);
    applyRequestedSize();
    // mutter on Wayland then restores a smaller size of its own, a moment later: once.
    takingBackMaximise_ = true;
    QTimer::singleShot(kPlacingMs * 3, this, [this] { takingBackMaximise_ = false; });
}

void Form3d::applyRequestedSize()
{
    // A size made for the picture is made again with the frame as it is now: a window manager may
    // have told a frame other than the one it drew (mutter 48 tells none before its frame exists).
    if (pictureSize_)
        requestedTwips_ = pictureSize_();
    if (requestedTwips_.isValid())
        guarded([&] {
            setWidthTwips(requestedTwips_.width());
            setHeightTwips(requestedTwips_.height());
        });
}

void Form3d::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The window manager places the window when it first maps it; see what it did there.
    if (!event->spontaneous() && !placingWatched_ && windowHandle()) {
        placingWatched_ = true;
        placing_ = true;
        windowHandle()->installEventFilter(this);
    }
    applyShownFrame();
    // Qt on Wayland makes its title bar once the window is shown, and no move follows.
    QTimer::singleShot(0, this, [this] { guarded([&] { applyShownFrame(); }); });
    // A viewer whose picture did not load has no caption; it must not show the program's name.
    if (windowTitle().isEmpty())
        showEmptyCaption(this);
}

void Form3d::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Qt sends no resize event on minimise or restore.
    if (event->type() == QEvent::WindowStateChange) {
        guarded([&] { Form_Resize(); });
        if (placing_ && isMaximized())
            QTimer::singleShot(0, this,
                               [this] { guarded([&] { takeBackWindowManagersMaximise(); }); });
    }
}

void Form3d::keyPressEvent(QKeyEvent* event)
{
    // The keyboard's way to the right-button menu; the zoom box keeps its own menu.
    if (isMenuKey(event) && focusWidget() != Text1) {
        guarded([&] { platform_.popupMenu(mnuR, pict->mapToGlobal(QPoint(0, 0))); });
        return;
    }
    if (panByKey(event))
        return;
    QWidget::keyPressEvent(event);
}

// Panning from the keyboard and by the wheel over the picture, beside the bars' own mouse: a
// shown bar moves in its own steps and raises its events, as when the user works it.
bool Form3d::panByKey(const QKeyEvent* event)
{
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    struct Pan
    {
        int key;
        ScrollBar* bar;
        QAbstractSlider::SliderAction action;
    };
    const Pan pans[] = {
        {Qt::Key_Up, VScroll1, QAbstractSlider::SliderSingleStepSub},
        {Qt::Key_Down, VScroll1, QAbstractSlider::SliderSingleStepAdd},
        {Qt::Key_Left, HScroll1, QAbstractSlider::SliderSingleStepSub},
        {Qt::Key_Right, HScroll1, QAbstractSlider::SliderSingleStepAdd},
        {Qt::Key_PageUp, VScroll1, QAbstractSlider::SliderPageStepSub},
        {Qt::Key_PageDown, VScroll1, QAbstractSlider::SliderPageStepAdd},
        {Qt::Key_Home, VScroll1, QAbstractSlider::SliderToMinimum},
        {Qt::Key_End, VScroll1, QAbstractSlider::SliderToMaximum},
    };
    for (const Pan& pan : pans) {
        if (pan.key != event->key())
            continue;
        // A hidden bar is out of the user's reach, by the keyboard as well.
        if (!pan.bar->isHidden())
            pan.bar->triggerAction(pan.action);
        return true;
    }
    return false;
}

void Form3d::panByWheel(const QWheelEvent* event)
{
    // Shift turns the wheel sideways, as a tilting wheel does by itself.
    const QPoint delta = event->angleDelta();
    const bool sideways = (event->modifiers() & Qt::ShiftModifier) || delta.y() == 0;
    ScrollBar* bar = sideways ? HScroll1 : VScroll1;
    if (bar->isHidden())
        return;
    wheelRest_ += delta.y() != 0 ? delta.y() : delta.x();
    const int notches = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRest_ %= QWheelEvent::DefaultDeltasPerStep;
    const int steps = std::abs(notches) * QApplication::wheelScrollLines();
    for (int i = 0; i < steps; ++i)
        bar->triggerAction(notches > 0 ? QAbstractSlider::SliderSingleStepSub
                                       : QAbstractSlider::SliderSingleStepAdd);
}

void Form3d::closeEvent(QCloseEvent* event)
{
    std::int16_t cancel = 0;
    guarded([&] { Form_Unload(cancel); });
    if (cancel != 0)
        event->ignore();
    else
        event->accept();
}

void Form3d::Form_Load()
{
    pict->setVisible(false);
    // The shared name follows the newest opening; this viewer keeps the name of its own file.
    fileName_ = Module1::SelectedFileName;
    folder_ = mainFolder_();
    const QString path = joinFolderAndName(folder_, fileName_);
    try {
        Imag->loadPicture(path);
        OrigWidth = toInt32(Imag->widthF());
        OrigHeight = toInt32(Imag->heightF());
        setWindowTitle(shownName(path));
        ZoomMilli = 100000;
        ZoomPercent = zoomPercent(ZoomMilli);
        showZoom();
    } catch (...) {
        // A file that is no picture leaves the viewer empty, without a word.
        noteDroppedFailure("Form3d::Form_Load");
    }
}

void Form3d::Form_Resize()
{
    // The toolbar is docked across the top of the client area.
    Toolbar1->setGeometry(0, 0, width(), kToolbarHeight);
    try {
        VScroll1->setVisible(false);
        HScroll1->setVisible(false);
        const QSize client = scaleSize();
        moveControl(pict, 0, Toolbar1->height(), client.width(),
                    client.height() - double(viewer::kBoxHeightLoss));
        const float SW = float(pict->width());
        const float SH = float(pict->height());
        const float W = Imag->widthF();
        const float H = Imag->heightF();
        moveControl(Pd, SW - kBarThickness, SH - kBarThickness);
        moveControl(VScroll1, SW - kBarThickness, 0, kBarThickness, SH);
        moveControl(HScroll1, 0, SH - kBarThickness, SW, kBarThickness);
        VScroll1->setVisible(SH < H);
        HScroll1->setVisible(SW < W);
        VScroll1->setMax(toInt16(double(SH - H)));
        HScroll1->setMax(toInt16(double(SW - W)));
        if (!VScroll1->isHidden())
            HScroll1->setVisible(float(W + float(kBarThickness)) > SW);
        if (!HScroll1->isHidden())
            VScroll1->setVisible(float(H + float(kBarThickness)) > SH);
        Pd->setVisible(!VScroll1->isHidden() && !HScroll1->isHidden());
        if (!Pd->isHidden()) {
            moveControl(HScroll1, HScroll1->x(), HScroll1->y(),
                        HScroll1->width() - double(kBarThickness), HScroll1->height());
            moveControl(VScroll1, VScroll1->x(), VScroll1->y(), VScroll1->width(),
                        VScroll1->height() - double(kBarThickness));
            VScroll1->setMax(toInt16(double(VScroll1->max()) - kBarThickness));
            HScroll1->setMax(toInt16(double(HScroll1->max()) - kBarThickness));
        }
        VScroll1->setLargeChange(toInt16(H));
        HScroll1->setLargeChange(toInt16(W));
        if (widthTwips() < viewer::kNarrowestWidthTwips)
            setWidthTwips(viewer::kSpringBackWidthTwips);
        pict->setVisible(true);
    } catch (...) {
        // A failed step ends the layout; what the earlier steps set stays.
        noteDroppedFailure("Form3d::Form_Resize");
    }
}

void Form3d::Form_Unload(std::int16_t&)
{
    mnuCls_Click();
}

void Form3d::Imag_MouseUp(int button)
{
    if (button == 2)
        platform_.popupMenu(mnuR);
}

void Form3d::pict_MouseUp(int button)
{
    if (button == 2)
        platform_.popupMenu(mnuR);
}

void Form3d::HScroll1_Change()
{
    Imag->setLeftF(float(HScroll1->value()));
}

void Form3d::HScroll1_Scroll()
{
    Imag->setLeftF(float(HScroll1->value()));
}

void Form3d::VScroll1_Change()
{
    Imag->setTopF(float(VScroll1->value()));
}

void Form3d::VScroll1_Scroll()
{
    Imag->setTopF(float(VScroll1->value()));
}

void Form3d::showZoom()
{
    showWhole(Text1, numberText(ZoomPercent) + QStringLiteral("%"));
}

void Form3d::zoomStepMenu(bool in)
{
    Imag->setVisible(false);
    Imag->setStretch(true);
    Imag->setWidthF(zoomedSize(Imag->widthF(), in));
    Imag->setHeightF(zoomedSize(Imag->heightF(), in));
    Form_Resize();
    Imag->setVisible(true);
    ZoomMilli = in ? zoomMilliIn(ZoomMilli) : zoomMilliOut(ZoomMilli);
    ZoomPercent = zoomPercent(ZoomMilli);
    showZoom();
}

void Form3d::zoomStepToolbar(bool in)
{
    pict->setVisible(false);
    Imag->setStretch(true);
    Imag->setWidthF(zoomedSize(Imag->widthF(), in));
    Imag->setHeightF(zoomedSize(Imag->heightF(), in));
    mnuFit_Click();
    ZoomMilli = in ? zoomMilliIn(ZoomMilli) : zoomMilliOut(ZoomMilli);
    ZoomPercent = zoomPercent(ZoomMilli);
    showZoom();
    pict->setVisible(true);
    Form_Resize();
}

void Form3d::mnuZin_Click()
{
    zoomStepMenu(true);
}

void Form3d::mnZout_Click()
{
    zoomStepMenu(false);
}

void Form3d::mnuG_Click()
{
    pict->setVisible(false);
    Imag->setWidthF(float(OrigWidth));
    Imag->setHeightF(float(OrigHeight));
    const QSize before = size();
    mnuFit_Click();
    // A fit that leaves the window as it was (already that size, or maximised) lays out nothing,
    // and the scroll bars would keep the zoomed picture's range.
    if (size() == before)
        Form_Resize();
    ZoomMilli = 100000;
    ZoomPercent = 100;
    showZoom();
    pict->setVisible(true);
}

void Form3d::sizeForOpening()
{
    // The picture's size as loaded, plus the fixed margins, each direction at most the work area;
    // the width first, then the height, each running the layout.
    pictureSize_ = [this] {
        return openingSizeTwips(Imag->widthF(), Imag->heightF(), platform_.twipsPerPixelX(),
                                platform_.twipsPerPixelY(), platform_.workAreaTwips(),
                                frameMargin());
    };
    const QSize size = pictureSize_();
    setWidthTwips(size.width());
    setHeightTwips(size.height());
}

void Form3d::mnuFit_Click()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    pictureSize_ = [this] {
        return fitSizeTwips(Imag->widthF(), Imag->heightF(), platform_.twipsPerPixelX(),
                            platform_.twipsPerPixelY(), platform_.workAreaTwips(), frameMargin());
    };
    const QSize outer = pictureSize_();
    setWidthTwips(outer.width());
    setHeightTwips(outer.height());
    keepInsideWorkArea();
}

void Form3d::mnuSave_Click()
{
    std::optional<QString> path;
    try {
        // The name of the picture this viewer shows, in its own folder: the newest opening's name,
        // or the folder the program started in, would let Enter replace another file.
        QString folder = folder_;
        QString name = fileName_;
        for (;;) {
            path = platform_.saveDialog(this, folder, name, kSaveFilter);
            if (!path)
                return;
            // Asked with the whole path: a name alone may stand for a file of another folder.
            const QFileInfo chosen(*path);
            if ((!chosen.exists() && !chosen.isSymLink())
                || platform_.askYesNo(this, replaceQuestion(*path), kMessageTitle))
                break;
            // いいえ: back to the dialog, where the user was.
            folder = chosen.absolutePath();
            name = chosen.fileName();
        }
        if (Imag->picture().isNull())
            throw PlatformError(QStringLiteral("SavePicture"),
                                QStringLiteral("保存する画像がありません。"));
        // The file as it was read when the picture loaded: its own format and metadata,
        // whatever the zoom, name or filter. The old file survives a failed write.
        writeFileReplacing(*path, Imag->pictureBytes());
    } catch (const PlatformError& error) {
        // A failed save is never left without a word.
        beepAndTell(platform_, this, saveFailureMessage(path.value_or(QString()), error.reason()));
    }
}

void Form3d::mnuPrint_Click()
{
    showPrintDialog();
}

void Form3d::showPrintDialog()
{
    if (const std::unique_ptr<QPrinter> printer = platform_.printDialog(this))
        printPicture(*printer, Imag->picture());
}

void Form3d::mnuCls_Click()
{
    // Inside the unload already under way, Qt ignores the second request.
    close();
}

void Form3d::mnuEnd_Click()
{
    platform_.endProgram();
}

void Form3d::Toolbar1_ButtonClick(const QString& key)
{
    try {
        if (key == QLatin1String("btnCls"))
            close();
        else if (key == QLatin1String("btnSav"))
            mnuSave_Click();
        else if (key == QLatin1String("btnZin"))
            zoomStepToolbar(true);
        else if (key == QLatin1String("btnZout"))
            zoomStepToolbar(false);
        else if (key == QLatin1String("btnG"))
            mnuG_Click();
        else if (key == QLatin1String("btnPr"))
            showPrintDialog();
    } catch (...) {
        // A failing toolbar command ends silently; what it did so far stays done.
        noteDroppedFailure("Form3d::Toolbar1_ButtonClick");
    }
}
