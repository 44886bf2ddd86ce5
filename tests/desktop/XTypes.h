#pragma once

// Xlib's own headers define macros (Bool, Status, None) that break Qt's, so
// headers name its types through these and only .cpp files include Xlib, last.
struct _XDisplay;

namespace desk {

using XDisplay = _XDisplay;
/// An X window's id (Xlib's Window).
using WindowId = unsigned long;

}  // namespace desk
