#pragma once

#include <QComboBox>
#include <functional>

// A combo box with an edit field and a drop-down list whose Click is raised only when the user
// chooses an entry from the list: a click or Enter in the open list, or the arrow keys or the
// wheel on the closed box. Qt also reports a typed text that happens to match an entry as
// "activated" when the edit ends (Enter, Tab, a click elsewhere); that is no choice, and
// taking it for one would change what the file list shows behind the user's back.
class ComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit ComboBox(QWidget* parent = nullptr);

    // The edit field's text; one that is an entry of the list also makes that entry current,
    // so that the arrow keys move on from the entry shown.
    void setText(const QString& text);

    // The text of the list entry at index (List(index)); throws PlatformError for an index
    // outside the list.
    QString list(int index) const;

    std::function<void()> onClick;

private:
    friend class ComboBoxEdit;
    void activatedEntry();

    bool finishingEdit_ = false;
};
