#pragma once

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QList>
#include <QString>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

inline void writeFile(const QString& path, const QByteArray& content = QByteArray())
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// The bytes of a picture of one colour, as a file of the given format holds them.
inline QByteArray pictureBytes(int width, int height, QColor colour, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Empty when the file cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A file named "bad\xff.jpg", a name that is not valid UTF-8, removed again when this goes out
// of scope: a temporary folder cannot remove such a name by itself.
class MangledFile
{
public:
    explicit MangledFile(const QString& folder) : path_(QFile::encodeName(folder) + "/bad\xff.jpg")
    {
        if (FILE* file = std::fopen(path_.constData(), "w"))
            std::fclose(file);
    }
    ~MangledFile() { ::unlink(path_.constData()); }
    MangledFile(const MangledFile&) = delete;
    MangledFile& operator=(const MangledFile&) = delete;
    bool exists() const { return ::access(path_.constData(), F_OK) == 0; }

private:
    QByteArray path_;
};

// The shown top-level windows of one kind.
template <class Window>
QList<Window*> visibleWindows()
{
    QList<Window*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(w); window && window->isVisible())
            windows << window;
    return windows;
}
