#include "platform/QtPlatform.h"

#include "platform/Drives.h"
#include "platform/FileNames.h"
#include "platform/InstanceLock.h"
#include "platform/Twips.h"
#include "platform/WindowSystem.h"

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

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform() = default;

void QtPlatform::beep()
{
    QApplication::beep();
}

void QtPlatform::messageBox(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box.exec();
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
    QFileDialog dialog(parent, QString(), folder, qtFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialogs' own question names only the file, not its folder; the caller asks instead.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // A name that is not UTF-8 is proposed as people read it; the saved file gets that name.
    dialog.selectFile(shownName(proposedName));
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
    box.exec();
    return box.clickedButton() == yes;
}

std::unique_ptr<QPrinter> QtPlatform::printDialog(QWidget* parent)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), parent);
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
    return screen ? screen->availableGeometry() : QRect();
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
