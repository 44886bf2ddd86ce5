#pragma once

#include <QString>
#include <sys/types.h>

namespace test {

/// The permission bits of the item at `path` (following links); records a
/// test failure and gives 0 when it cannot be examined.
mode_t fileMode(const QString& path);

}  // namespace test
