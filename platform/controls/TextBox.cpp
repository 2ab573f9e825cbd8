#include "platform/controls/TextBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace {

class TextBoxAccessible : public QAccessibleWidget
{
public:
    explicit TextBoxAccessible(TextBox* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->text();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        if (!box()->onScreen()) {
            s.invisible = true;
            s.offscreen = true;
        }
        return s;
    }

private:
    TextBox* box() const { return static_cast<TextBox*>(widget()); }
};

QAccessibleInterface* textBoxAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("TextBox") && object && object->isWidgetType())
        return new TextBoxAccessible(static_cast<TextBox*>(object));
    return nullptr;
}

} // namespace

TextBox::TextBox(QWidget* parent) : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(textBoxAccessible);
        return true;
    }();
    Q_UNUSED(installed);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool TextBox::onScreen() const
{
    if (!isVisible())
        return false;
    // Clipped by every container up to the window, as the window shows it.
    QRect shown = rect();
    const QWidget* w = this;
    while (!shown.isEmpty() && !w->isWindow()) {
        shown.translate(w->pos());
        w = w->parentWidget();
        if (!w)
            break;
        shown &= w->rect();
    }
    return !shown.isEmpty();
}

void TextBox::setText(const QString& text)
{
    text_ = text;
    if (!onScreen())
        return;
    update();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, text_);
        QAccessible::updateAccessibility(&event);
    }
}

QSize TextBox::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    QStyleOptionFrame option;
    option.initFrom(this);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option,
                                     QSize(metrics.horizontalAdvance(text_), metrics.height()),
                                     this);
}

void TextBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionFrame option;
    option.initFrom(this);
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    option.state |= QStyle::State_Sunken | QStyle::State_ReadOnly;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    const QRect inside = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    style()->drawItemText(&painter, inside.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          palette(), isEnabled(), text_, QPalette::Text);
}
