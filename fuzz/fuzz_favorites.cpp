// The clipboard favorites file, every version.
#include "FuzzDecoder.h"
#include "clipboard/ClipboardFavoritesFile.h"

WENDLE_FUZZ_ROUND_TRIP(ClipboardFavoritesFile)
