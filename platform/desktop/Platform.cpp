#include "platform/desktop/Platform.h"

const QString kMessageTitle = QStringLiteral("Numbrella ポテリカ");

void beepAndTell(Platform& platform, QWidget* parent, const QString& text)
{
    platform.beep();
    platform.messageBox(parent, text, kMessageTitle);
}
