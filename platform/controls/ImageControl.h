#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

class QMouseEvent;
class QPaintEvent;

// The image control (Imag). Its position and size are single-precision values kept here; the widget
// geometry is only their rounding. The picture is drawn scaled to that size, and only the
// visible part of it is painted, so memory does not grow with the size.
class ImageControl : public QWidget
{
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr);

    float leftF() const { return left_; }
    float topF() const { return top_; }
    float widthF() const { return width_; }
    float heightF() const { return height_; }
    void setLeftF(float left);
    void setTopF(float top);
    // A negative size throws PlatformError.
    void setWidthF(float width);
    void setHeightF(float height);

    bool stretch() const { return stretch_; }
    void setStretch(bool stretch);

    const QImage& picture() const { return picture_; }
    // The file's bytes exactly as they were read for the picture: saving writes these.
    const QByteArray& pictureBytes() const { return pictureBytes_; }
    // Reads the file once and decodes it from memory. Throws PlatformError when the file is
    // missing, is no regular file or is no picture Qt can read. Without Stretch the control
    // takes the picture's size in pixels.
    void loadPicture(const QString& path);

    std::function<void(int button)> onMouseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void place();

    float left_ = 0;
    float top_ = 0;
    float width_ = 0;
    float height_ = 0;
    bool stretch_ = false;
    QImage picture_;
    QByteArray pictureBytes_;
};
