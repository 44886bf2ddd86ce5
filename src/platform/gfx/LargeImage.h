#pragma once

#include <QImage>
#include <QSize>

namespace pf {

/// An image of `size` pixels, uninitialised, whose memory lies on the large
/// (2 MB) pages the system gives on request when it spans at least half of
/// one; its memory is then rounded up to whole large pages.
///
/// A kept picture of a window is copied again whenever something animates
/// over it, often in narrow columns along its edges, where every row lies on
/// a page of its own. On small pages each such row costs a miss of the
/// processor's address cache (on a virtual machine, a walk through two page
/// tables), which can cost more than the copy itself.
QImage largeImage(QSize size, QImage::Format format);

/// An image as `largeImage` gives it, but one smaller than half a large page
/// too lies on large pages: on a run of small pages within large ones that
/// such images share, let go when none is left on them. Worth it for images
/// drawn and read by the hundred while something animates (a wisp of smoke
/// at each step of its swell); a large page is resident for the first.
QImage sharedPagesImage(QSize size, QImage::Format format);

}  // namespace pf
