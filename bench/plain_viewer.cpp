// The viewer's baseline: a minimal Qt window that shows a decoded picture, painting only the
// visible part, and zooms by 10% on "+".
//   plain_viewer FILE            shows it
//   plain_viewer --decode FILE   prints how long decoding alone takes, in milliseconds
#include <QApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <cstdio>

namespace {

class View : public QWidget
{
public:
    explicit View(QImage image) : image_(std::move(image)) {}

protected:
    void paintEvent(QPaintEvent* event) override
    {
        const QRectF target =
            QRectF(event->rect())
                .intersected(QRectF(0, 0, image_.width() * scale_, image_.height() * scale_));
        if (target.isEmpty())
            return;
        const QRectF source(target.x() / scale_, target.y() / scale_, target.width() / scale_,
                            target.height() / scale_);
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, scale_ < 1.0);
        painter.drawImage(target, image_, source);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Plus) {
            scale_ *= 1.1;
            update();
        }
    }

private:
    QImage image_;
    double scale_ = 1.0;
};

QImage decode(const char* path)
{
    QImageReader reader(QString::fromLocal8Bit(path));
    reader.setAllocationLimit(1024);
    reader.setAutoTransform(true);
    return reader.read();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--decode") {
        QGuiApplication app(argc, argv);
        QElapsedTimer timer;
        timer.start();
        const QImage image = decode(argv[2]);
        std::printf("decode_ms=%.2f pixels=%lld\n", timer.nsecsElapsed() / 1e6,
                    qlonglong(image.width()) * image.height());
        return image.isNull() ? 1 : 0;
    }
    if (argc != 2)
        return 2;
    QApplication app(argc, argv);
    QImage image = decode(argv[1]);
    const QSize size = image.size().boundedTo(QGuiApplication::primaryScreen()->availableSize());
    View view(std::move(image));
    view.setWindowTitle(QStringLiteral("plain viewer"));
    view.resize(size);
    view.show();
    return app.exec();
}
