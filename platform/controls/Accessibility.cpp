#include "platform/controls/Accessibility.h"

#include "platform/controls/ImageControl.h"
#include "platform/controls/PictureBox.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace {

// An interface's value, told once more as the attribute "valuetext" where Qt can tell
// attributes (6.8 on).
class ValueAttribute
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    : public QAccessibleAttributesInterface
{
public:
    QList<QAccessible::Attribute> attributeKeys() const override
    {
        return {QAccessible::Attribute::Custom};
    }
    QVariant attributeValue(QAccessible::Attribute key) const override
    {
        if (key != QAccessible::Attribute::Custom)
            return {};
        return QVariant::fromValue(
            QHash<QString, QString>{{QStringLiteral("valuetext"), valueText()}});
    }

protected:
    void* attributesAs(QAccessible::InterfaceType type)
    {
        return type == QAccessible::AttributesInterface
            ? static_cast<QAccessibleAttributesInterface*>(this)
            : nullptr;
    }
#else
{
protected:
    void* attributesAs(QAccessible::InterfaceType) { return nullptr; }
#endif
    virtual QString valueText() const = 0;
};

// A combo box named by its accessible name (the label beside it, or what it is for), its value
// the chosen or typed text; its children are the drop-down list and, in an editable box, the
// edit field, as in Qt's own: a screen reader reads and echoes what is typed from that field.
// A box without one (the drive list) shows its chosen entry as its own read-only text, where a
// screen reader looks for the value once neither an edit field nor a selection tells it. Where
// Qt lets it, the value is also told as an attribute: Orca 48 finds no edit field in Qt's (Qt
// never calls a field single-line) and would say the list's current entry instead of the text
// typed over it.
class NamedComboAccessible : public QAccessibleWidget,
                             public QAccessibleTextInterface,
                             public ValueAttribute
{
public:
    explicit NamedComboAccessible(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {}

    QString valueText() const override { return text(QAccessible::Value); }

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

    int childCount() const override { return editField() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(combo()->view());
        if (index == 1 && editField())
            return QAccessible::queryAccessibleInterface(editField());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        if (child->object() == combo()->view())
            return 0;
        return editField() && child->object() == editField() ? 1 : -1;
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

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface && !editField())
            return static_cast<QAccessibleTextInterface*>(this);
        if (void* attributes = attributesAs(type))
            return attributes;
        return QAccessibleWidget::interface_cast(type);
    }

    // The chosen entry, read-only: no selection, the cursor at its start.
    QString text(int startOffset, int endOffset) const override
    {
        return combo()->currentText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(combo()->currentText().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return QString();
    }

private:
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
    QLineEdit* editField() const { return combo()->isEditable() ? combo()->lineEdit() : nullptr; }
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
