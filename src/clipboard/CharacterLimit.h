#pragma once

#include <QString>

/// Whether `text` has at most `limit` user-perceived characters. A character
/// takes at least one UTF-16 unit, so only texts longer than the limit in
/// units are counted, which keeps validating megabytes of favorites cheap.
bool hasAtMostCharacters(const QString& text, int limit);
