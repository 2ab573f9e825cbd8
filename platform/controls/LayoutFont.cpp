#include "platform/controls/LayoutFont.h"

#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace {

// A line edit keeps two pixels free on either side of its text, and one above and below.
constexpr int kEditMargins = 4;
constexpr int kEditLineMargins = 2;

// Latin letters sit best in DejaVu Sans's line: Noto Sans CJK JP's is taller than an edit field
// of 300 twips at 9 pt and would cut the descenders of "jpg". Japanese sits best in Noto's, which
// centres it. Each takes what it lacks from the other.
const QStringList kLatinFirst = {QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK JP")};
const QStringList kJapaneseFirst = {QStringLiteral("Noto Sans CJK JP"),
                                    QStringLiteral("DejaVu Sans")};

QFont programFont(const QStringList& families)
{
    QFont font(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9);
    return font;
}

bool hasLatin(const Caption& caption)
{
    return std::any_of(caption.text.begin(), caption.text.end(),
                       [](QChar c) { return c.unicode() < 128 && c.isLetterOrNumber(); });
}

bool fits(const QFont& font, const QList<Caption>& captions)
{
    const QFontMetricsF metrics(font);
    return std::all_of(captions.begin(), captions.end(), [&](const Caption& c) {
        return metrics.horizontalAdvance(c.text) <= c.room
            && (c.height == 0 || metrics.height() <= c.height);
    });
}

} // namespace

QFont fittingFont(QFont font, const QList<Caption>& captions)
{
    while (font.pointSizeF() > 6 && !fits(font, captions))
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

void useLayoutFont(QWidget* window, const QList<FittedControl>& controls)
{
    const QFont latin = programFont(kLatinFirst);
    window->setFont(latin);
    for (const FittedControl& c : controls) {
        QList<Caption> captions = c.captions;
        const bool japanese = std::none_of(captions.begin(), captions.end(), hasLatin);
        // Kanji and kana keep within the em square, which Noto's line centres: no descenders to
        // lose in a line taller than the box.
        if (japanese)
            for (Caption& caption : captions)
                caption.height = 0;
        const QFont fitted = fittingFont(japanese ? programFont(kJapaneseFirst) : latin, captions);
        if (fitted != latin)
            c.control->setFont(fitted);
    }
}

QList<Caption> captionsOf(const QLabel* label)
{
    return {{label->text(), label->contentsRect().width()}};
}

QList<Caption> captionsOf(const QPushButton* button, const QStringList& texts)
{
    QStyleOptionButton option;
    option.initFrom(button);
    const int room =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
    QList<Caption> captions;
    for (const QString& text : texts)
        captions.push_back({text, room});
    return captions;
}

QList<Caption> captionsOf(const QLineEdit* edit, const QStringList& texts)
{
    const int frame = edit->hasFrame()
        ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit)
        : 0;
    const QMargins margins = edit->textMargins();
    const int room = edit->width() - 2 * frame - margins.left() - margins.right() - kEditMargins;
    QList<Caption> captions;
    for (const QString& text : texts)
        captions.push_back({text, room});
    return captions;
}

QList<Caption> captionsOf(const QComboBox* combo, const QStringList& entries)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, combo);
    const bool editable = combo->isEditable();
    const int room = field.width() - (editable ? kEditMargins : 0);
    const int height = editable ? field.height() - kEditLineMargins : 0;
    QList<Caption> captions;
    for (const QString& entry : entries)
        captions.push_back({entry, room, height});
    return captions;
}
