#pragma once

#include <QString>

// The Japanese reason that the user is told for a system error number; the system's own text
// only for a number that no file operation of ours is expected to meet.
QString errorReason(int err);
