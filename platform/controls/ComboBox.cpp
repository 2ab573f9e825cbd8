#include "platform/controls/ComboBox.h"

#include "core/PlatformError.h"
#include "core/RuntimeError.h"
#include "platform/controls/Accessibility.h"
#include "platform/controls/Events.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

// The edit field tells its box while it ends an edit: Qt emits "activated" from inside these
// handlers when the typed text matches an entry.
class ComboBoxEdit : public QLineEdit
{
public:
    explicit ComboBoxEdit(ComboBox* box) : QLineEdit(box), box_(box) {}

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const Finishing finishing(box_);
        QLineEdit::keyPressEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        const Finishing finishing(box_);
        QLineEdit::focusOutEvent(event);
    }

private:
    struct Finishing
    {
        explicit Finishing(ComboBox* box) : box(box), was(box->finishingEdit_)
        {
            box->finishingEdit_ = true;
        }
        ~Finishing() { box->finishingEdit_ = was; }
        ComboBox* box;
        bool was;
    };
    ComboBox* box_;
};

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent)
{
    installAccessibleInterfaces();
    setLineEdit(new ComboBoxEdit(this));
    // Enter would otherwise add the typed text to the list, and the completion would turn a
    // typed "jp" into "jpg".
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(this, &QComboBox::activated, this, &ComboBox::activatedEntry);
}

QString ComboBox::list(int index) const
{
    if (index < 0 || index >= count())
        throw RuntimeError::indexOutOfRange(QStringLiteral("List"));
    return itemText(index);
}

void ComboBox::setText(const QString& text)
{
    const int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        setCurrentIndex(index);
    setEditText(text);
}

void ComboBox::activatedEntry()
{
    if (finishingEdit_)
        return;
    raiseFromQt(onClick);
}
