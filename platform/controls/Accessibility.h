#pragma once

// Tells assistive technology what our controls are, where Qt's own answer misleads: on Linux Qt
// names a combo box by its value, so a screen reader would say "jpg" instead of what the box is
// for, and a plain container is a nameless filler. Safe to call more than once.
void installAccessibleInterfaces();
