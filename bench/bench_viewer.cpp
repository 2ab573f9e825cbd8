// Opening and zooming a 6000 x 4000 picture: time and peak memory against plain Qt work.
#include "app/Module1.h"
#include "platform/controls/ImageControl.h"
#include "platform/controls/PictureBox.h"
#include "tests/support/FakePlatform.h"
#include "viewer/Form3d.h"
#include "viewer/zoom.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>

namespace {

double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    {
        QImage picture(6000, 4000, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                line[x] = qRgb(x % 256, y % 256, (x + y) % 256);
        }
        picture.save(dir.filePath("big.jpg"), "jpg", 90);
    }
    // Forget the peak of making the picture: writing 5 to clear_refs resets VmHWM.
    {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
    }
    const double baseline = peakMegabytes();

    FakePlatform platform;
    Module1::SelectedFileName = QStringLiteral("big.jpg");
    QElapsedTimer timer;
    timer.start();
    auto* viewer = new Form3d(platform, [&] { return dir.path(); });
    const QSize size = openingSizeTwips(viewer->Imag->widthF(), viewer->Imag->heightF(), 15, 15,
                                        platform.workAreaTwips());
    viewer->setWidthTwips(size.width());
    viewer->setHeightTwips(size.height());
    viewer->show();
    QCoreApplication::processEvents();
    const double openMs = timer.nsecsElapsed() / 1e6;
    const double openPeak = peakMegabytes() - baseline;

    for (int i = 0; i < 8; ++i) {
        viewer->mnuZin_Click();
        viewer->repaint();
    }
    const double zoomPeak = peakMegabytes() - baseline;

    // Forty clicks on the toolbar's 拡, which fits the window around the picture each time: the
    // window stays within the work area, so its backing store does not grow with the zoom.
    viewer->mnuG_Click();
    for (int i = 0; i < 40; ++i) {
        viewer->btnZin->click();
        viewer->repaint();
    }
    const double toolbarPeak = peakMegabytes() - baseline;
    const QSize toolbarWindow = viewer->frameGeometry().size();

    // One step at each zoom from 47% to 214%, against drawing the same visible part plainly.
    viewer->mnuG_Click();
    for (int i = 0; i < 8; ++i)
        viewer->mnZout_Click();
    double stepMs = 0, plainMs = 0;
    const QImage& picture = viewer->Imag->picture();
    QImage canvas(viewer->size(), QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < 16; ++i) {
        timer.restart();
        viewer->mnuZin_Click();
        viewer->repaint();
        stepMs += timer.nsecsElapsed() / 1e6;
        const double scale = viewer->Imag->widthF() / picture.width();
        const QRectF target(QPointF(0, 0), QSizeF(canvas.size()));
        const QRectF source(0, 0, canvas.width() / scale, canvas.height() / scale);
        timer.restart();
        QPainter painter(&canvas);
        painter.drawImage(target, picture, source);
        painter.end();
        plainMs += timer.nsecsElapsed() / 1e6;
    }
    delete viewer;

    timer.restart();
    QImageReader reader(dir.filePath("big.jpg"));
    QImageReader::setAllocationLimit(1024);
    const QImage decoded = reader.read();
    const double decodeMs = timer.nsecsElapsed() / 1e6;
    const double decodedMb = decoded.sizeInBytes() / 1048576.0;

    std::printf("open 6000x4000: %.1f ms, decode alone %.1f ms, ratio %.2f\n", openMs, decodeMs,
                openMs / decodeMs);
    std::printf("peak memory of the opening: %.1f MB above start (decoded picture %.1f MB)\n",
                openPeak, decodedMb);
    std::printf("peak after 8 zoom-in steps: %.1f MB above start, ratio to 100%%: %.2f\n", zoomPeak,
                zoomPeak / openPeak);
    std::printf("peak after 40 toolbar zoom-in steps: %.1f MB above start, ratio to the opening: "
                "%.2f (window %dx%d)\n",
                toolbarPeak, toolbarPeak / openPeak, toolbarWindow.width(), toolbarWindow.height());
    std::printf("zoom step with repaint: %.2f ms, plain drawImage of the visible part %.2f ms, "
                "ratio %.2f\n",
                stepMs / 16, plainMs / 16, stepMs / plainMs);
    return 0;
}
