#pragma once

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QTest>
#include <QWidget>

inline void writeFile(const QString& path, const QByteArray& content = QByteArray())
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Empty when the file cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
