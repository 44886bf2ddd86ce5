#pragma once

#include "values/RawChoice.h"

/// The cases of `ShortcutKind`, stored by their names.
struct ShortcutKindCases {
  enum class Value { web, application, folder };
  using enum Value;
  static constexpr RawChoiceTable<Value, 3> table{{{
      {web, "web"},
      {application, "application"},
      {folder, "folder"},
  }}};
};

/// What a shortcut's destination names; stored as its raw string.
class ShortcutKind final : public RawChoice<ShortcutKind, ShortcutKindCases> {
 public:
  using RawChoice::RawChoice;
};
