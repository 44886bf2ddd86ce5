#pragma once

namespace pf {

/// The named system appearance a window takes: light ("Aqua") or dark ("DarkAqua").
enum class Appearance { light, dark };

}  // namespace pf
