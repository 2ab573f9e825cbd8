#pragma once

#include <QString>

// State shared between the windows.
namespace Module1 {
// The name, without folder, of the file last chosen in the renaming window for the viewer.
extern QString SelectedFileName;
} // namespace Module1
