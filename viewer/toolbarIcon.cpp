#include "viewer/toolbarIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

namespace {

class KanjiIconEngine : public QIconEngine
{
public:
    explicit KanjiIconEngine(QString kanji) : kanji_(std::move(kanji)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->fillRect(rect, QColor(192, 192, 192));
        QFont font = painter->font();
        // 14 of 16 pixels, as the toolbar's pictures were drawn.
        font.setPixelSize(std::max(1, rect.height() * 14 / 16));
        painter->setFont(font);
        painter->setPen(mode == QIcon::Disabled ? QColor(128, 128, 128) : QColor(Qt::black));
        painter->drawText(rect, Qt::AlignCenter, kanji_);
        painter->restore();
    }

    // Qt asks for the size in device pixels and sets the pixmap's ratio itself.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, pixmap.rect(), mode, state);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new KanjiIconEngine(kanji_); }
    QString key() const override { return QStringLiteral("KanjiIconEngine"); }

private:
    QString kanji_;
};

} // namespace

QIcon kanjiIcon(const QString& kanji)
{
    return QIcon(new KanjiIconEngine(kanji));
}
