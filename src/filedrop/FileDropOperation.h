#pragma once

#include "values/RawChoice.h"

/// The cases of `FileDropOperation`, stored by their names.
struct FileDropOperationCases {
  enum class Value {
    /// The item is copied; the source stays where it was.
    copy,
    /// The item is moved; it disappears from its old place.
    move,
  };
  using enum Value;
  static constexpr RawChoiceTable<Value, 2> table{{{
      {copy, "copy"},
      {move, "move"},
  }}};
};

/// What a transfer does with each dropped item.
class FileDropOperation final : public RawChoice<FileDropOperation, FileDropOperationCases> {
 public:
  using RawChoice::RawChoice;
};
