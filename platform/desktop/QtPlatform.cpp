#include "platform/desktop/QtPlatform.h"

#include "core/FileNames.h"
#include "core/Twips.h"
#include "platform/desktop/InstanceLock.h"
#include "platform/desktop/WindowSystem.h"
#include "platform/files/Mounts.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int kWaylandTopBar = 32;

// A dialog no larger than the work area of the screen its parent is on (at twice the scale a
// screen has half the room).
void keepWithinScreen(QDialog& dialog, const QWidget* parent)
{
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        dialog.resize(dialog.sizeHint().boundedTo(screen->availableGeometry().size() * 9 / 10));
}

} // namespace

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform() = default;

void QtPlatform::beep()
{
    QApplication::beep();
}

void QtPlatform::messageBox(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    // Qt's own box, in our language, whatever the desktop offers since Qt 6.6.
    box.setOption(QMessageBox::Option::DontUseNativeDialog);
#endif
    box.exec();
    // openbox gives the focus back only to a window with a task-bar button.
    if (parent)
        parent->window()->activateWindow();
}

QAction* QtPlatform::popupMenu(QMenu* menu, std::optional<QPoint> at)
{
    return menu->exec(at.value_or(QCursor::pos()));
}

QString qtFileFilter(const QString& legacyFilter)
{
    const QStringList parts = legacyFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            continue;
        filters << parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> QtPlatform::saveDialog(QWidget* parent, const QString& folder,
                                              const QString& proposedName, const QString& filter)
{
    // Qt's own dialog on every desktop: the one GNOME's and Xfce's sessions would get through the
    // GTK platform theme speaks the system's language, has no title and fills the screen.
    QFileDialog dialog(parent, QStringLiteral("名前を付けて保存"), folder, qtFileFilter(filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialogs' own question names only the file, not its folder; the caller asks instead.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // A name that is not UTF-8 is proposed as people read it; the saved file gets that name.
    dialog.selectFile(shownName(proposedName));
    keepWithinScreen(dialog, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

bool QtPlatform::askYesNo(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("はい"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    box.setOption(QMessageBox::Option::DontUseNativeDialog);
#endif
    box.exec();
    return box.clickedButton() == yes;
}

std::unique_ptr<QPrinter> QtPlatform::printDialog(QWidget* parent)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), parent);
    keepWithinScreen(dialog, parent);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return printer;
}

QSize QtPlatform::workAreaTwips()
{
    const QRect area = workAreaPixels();
    return QSize(pixelsToTwips(area.width(), twipsPerPixelX()),
                 pixelsToTwips(area.height(), twipsPerPixelY()));
}

QRect QtPlatform::workAreaPixels()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QRect();
    QRect area = screen->availableGeometry();
    // A Wayland compositor tells no client where its panels are, nor lets it choose its place: a
    // window as tall as the screen would reach under GNOME's or weston's top bar and off the
    // bottom. Room is left for a bar of their 32 pixels.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))
        && area == screen->geometry())
        area.setTop(area.top() + kWaylandTopBar);
    return area;
}

std::optional<QMargins> QtPlatform::frameExtents(QWidget* window)
{
    return askFrameExtents(window);
}

double QtPlatform::twipsPerPixelX()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

double QtPlatform::twipsPerPixelY()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

QStringList QtPlatform::drives()
{
    return mountedDrives();
}

bool QtPlatform::anotherInstanceRunning()
{
    return !instanceLock_.take();
}

void QtPlatform::endProgram()
{
    // exit() sends no close events, so no window's own close handling runs. Before exec()
    // it does nothing: main() looks at endRequested() instead.
    ended_ = true;
    QCoreApplication::exit(0);
}
