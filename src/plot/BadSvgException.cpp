#include "plot/BadSvgException.h"

#include "foundation/StringKeys.h"

namespace KVD {

bad_svg_exception::bad_svg_exception()
    : std::runtime_error(GetStringFromStringsFile(KVDGetMyBundle(), SpirometryStr::IDS_PRINTABLE_SVG_INVALID.key,
                                                  SpirometryStr::IDS_PRINTABLE_SVG_INVALID.table, false)) {}

}  // namespace KVD
