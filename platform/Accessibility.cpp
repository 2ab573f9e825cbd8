#include "platform/Accessibility.h"

#include "platform/Imag.h"
#include "platform/PictureBox.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace {

// A combo box named by its accessible name (the label beside it, or what it is for), its value
// the chosen or typed text, its one child the drop-down list.
class NamedComboAccessible : public QAccessibleWidget
{
public:
    explicit NamedComboAccessible(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->isEditable() ? combo()->lineEdit()->text() : combo()->currentText();
        if (t == QAccessible::Name && combo()->accessibleName().isEmpty())
            return combo()->currentText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = combo()->isEditable();
        s.expandable = true;
        s.expanded = combo()->view()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == combo()->view() ? 0 : -1;
    }

    QStringList actionNames() const override
    {
        return QStringList(showMenuAction()) << QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            combo()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
};

// A picture box is what its window says it is; asked each time, since the interface may be made
// before the window has said it.
class PictureBoxAccessible : public QAccessibleWidget
{
public:
    explicit PictureBoxAccessible(PictureBox* box) : QAccessibleWidget(box) {}
    QAccessible::Role role() const override
    {
        return static_cast<PictureBox*>(widget())->accessibleRole();
    }
};

QAccessibleInterface* ourInterface(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("ComboBox") || className == QLatin1String("DriveList"))
        return new NamedComboAccessible(static_cast<QComboBox*>(object));
    if (className == QLatin1String("PictureBox"))
        return new PictureBoxAccessible(static_cast<PictureBox*>(object));
    // A window made of a plain widget (the viewer) is a window, not a filler.
    if (className == QLatin1String("QWidget") && static_cast<QWidget*>(object)->isWindow())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    if (className == QLatin1String("ImageControl"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    return nullptr;
}

} // namespace

void installAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(ourInterface);
        return true;
    }();
    Q_UNUSED(installed);
}
