#include "about/Form2d.h"

#include "app/icon.h"
#include "core/DroppedFailures.h"
#include "core/Twips.h"
#include "platform/controls/CommandButton.h"
#include "platform/controls/LayoutFont.h"
#include "platform/desktop/Platform.h"

#include <QLabel>
#include <QPushButton>

Form2d::Form2d(Platform& platform)
    : QWidget(nullptr,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::WindowSystemMenuHint)
{
    // A tool window has no task-bar button but must still count for ending the program.
    setAttribute(Qt::WA_QuitOnClose, true);
    setAttribute(Qt::WA_DeleteOnClose, true);
    setObjectName(QStringLiteral("Form2d"));
    setWindowTitle(QStringLiteral("Numbrella   バージョン情報"));
    setWindowIcon(programIcon());

    const double x = platform.twipsPerPixelX();
    const double y = platform.twipsPerPixelY();
    auto twips = [&](int left, int top, int width, int height) {
        return twipsToPixels(QRect(left, top, width, height), x, y);
    };
    setFixedSize(twips(0, 0, 4680, 3195).size());

    // Created in tab order; only the button takes the focus.
    Label1 = new QLabel(QStringLiteral("製品名       Numbrella"), this);
    Command1 = new CommandButton(QStringLiteral("OK"), this);
    lblVersion = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ      1.00 20010503"), this);
    lblDisclaimer = new QLabel(QStringLiteral("© 2026 Numbrella"), this);
    Label2 = new QLabel(QStringLiteral("numbrella.invalid"), this);
    Image1 = new QLabel(this);

    struct Placement
    {
        QWidget* widget;
        const char* name;
        QRect rect;
    };
    const Placement placements[] = {
        {Label1, "Label1", twips(960, 360, 1935, 225)},
        {Command1, "Command1", twips(1680, 2400, 1215, 375)},
        {lblVersion, "lblVersion", twips(960, 840, 2445, 225)},
        {lblDisclaimer, "lblDisclaimer", twips(960, 1320, 1710, 225)},
        {Label2, "Label2", twips(840, 1800, 2655, 225)},
        {Image1, "Image1", twips(120, 240, 510, 510)},
    };
    for (const Placement& p : placements) {
        p.widget->setObjectName(QString::fromLatin1(p.name));
        p.widget->setGeometry(p.rect);
    }
    for (QLabel* label : {Label1, lblVersion, lblDisclaimer, Label2}) {
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        label->setAccessibleName(label->text());
    }
    // The desktop's font size would cut the texts of a layout fixed in twips.
    useLayoutFont(this,
                  {
                      {Label1, captionsOf(Label1)},
                      {lblVersion, captionsOf(lblVersion)},
                      {lblDisclaimer, captionsOf(lblDisclaimer)},
                      {Label2, captionsOf(Label2)},
                      {Command1, captionsOf(Command1, {Command1->text()})},
                  });
    Image1->setPixmap(programIcon().pixmap(32, 32));
    Image1->setAccessibleName(QStringLiteral("アイコン"));
    // Neither the default nor the cancel button: Esc, and Enter anywhere but on the focused
    // button, do not close the window.
    Command1->setAutoDefault(false);
    Command1->setDefault(false);
    Command1->setFocus();
    connect(Command1, &QPushButton::clicked, this, [this] { guarded([&] { Command1_Click(); }); });
}

void Form2d::Command1_Click()
{
    close();
}
