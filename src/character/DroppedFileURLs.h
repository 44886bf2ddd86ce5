#pragma once

#include <QList>
#include <QUrl>

class QMimeData;

/// The file URLs a drop offers, in order: the file URLs it holds, or when
/// there are none, the "NSFilenamesPboardType" list of paths, of which only
/// those beginning with "/" count. Of several URLs with the same standardised
/// path only the first stays, unchanged. Plain text is never taken for a file.
/// Only reads the data.
QList<QUrl> droppedFileURLs(const QMimeData& pasteboard);
