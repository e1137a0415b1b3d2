#pragma once
// PlayStation discs packed for the PSP (.pbp, "EBOOT.PBP"): a header of "\0PBP", a version
// and eight little-endian offsets of the parts that follow (PARAM.SFO, the pictures and
// sounds of the PSP's menu, DATA.PSP and DATA.PSAR). PARAM.SFO, a small table of keys and
// values, names the disc in DISC_ID ("SLUS00594"); DATA.PSAR holds the packed disc, beginning
// "PSISOIMG0000" (one disc) or "PSTITLEIMG000000" (a game of several discs).

#include "import/imagegameid.h"

namespace vorlisk {

class ReadOnlyFile;

// The game ID of the package `file`: its DISC_ID in the form of the IDs read from boot lines,
// the first four characters, "-" and the next five in upper case ("SLUS-00594"). No disc data
// is read: only the header, PARAM.SFO (at most kParamSfoLimit bytes) and the first bytes of
// DATA.PSAR. No ID when PARAM.SFO or its DISC_ID is damaged or missing, or when DATA.PSAR holds
// no PlayStation disc (an encrypted PSP game); `unreadable` when the header is no PBP header:
// wrong marker, or offsets that go back or past the end of the file, or no DATA.PSAR.
inline constexpr size_t kParamSfoLimit = 64 * 1024;
ImageReading PbpGameId(const ReadOnlyFile& file);

}  // namespace vorlisk
