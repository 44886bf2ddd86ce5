#pragma once

#include <QStringView>
#include <cstddef>
#include <functional>
#include <string_view>

namespace pf {

/// Hashes texts, UTF-16 or UTF-8, for the tables that reading a large file
/// fills: texts met before, ids checked for repeats. Qt's own string hash
/// costs far more there than on its own: its AES code returns with the upper
/// halves of the vector registers in use, which slows the plain SSE code run
/// after each call (allocation, copies, the table itself) several times over,
/// and texts under eight characters take a slow path of their own.
struct TextHash {
  using is_transparent = void;

  std::size_t operator()(QStringView text) const noexcept {
    return std::hash<std::u16string_view>{}(std::u16string_view(text.utf16(), std::size_t(text.size())));
  }
  std::size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>{}(text); }
};

}  // namespace pf
