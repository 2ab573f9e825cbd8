#pragma once

#include <QString>
#include <QWidget>

// A read-only text box that holds its text as a plain string and lays it out only when it is
// painted. For working fields such as the renaming run's counter, which lies outside the
// visible area of its window and is written hundreds of thousands of times a run: a QLineEdit
// would shape the text on every write and tell assistive technology of every change.
// While it is out of sight nobody is told of it, and it reports itself invisible.
class TextBox : public QWidget
{
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(const QString& text);

    // Whether any part of the box can be seen in its window.
    bool onScreen() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};
