#pragma once

#include "platform/core/UserDefaults.h"

#include <QString>

/// Reading a look choice from the standard user defaults. Choices are read on
/// every use and never cached, so a change written by anyone shows at once.
class LookDefaults final {
 public:
  LookDefaults() = delete;

  /// The case stored under `key` as its raw string; the default case when the
  /// key is missing, holds no string, or names no case.
  template <typename Choice>
  static Choice choice(const QString& key) {
    const std::optional<QString> raw = pf::UserDefaults::standard().string(key);
    if (!raw) return Choice{};
    return Choice::fromRawValue(*raw).value_or(Choice{});
  }
};
