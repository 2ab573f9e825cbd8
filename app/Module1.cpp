#include "app/Module1.h"

namespace Module1 {
QString SelectedFileName;
}
