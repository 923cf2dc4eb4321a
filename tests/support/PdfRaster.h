// Reads a PDF back as pixels with pdftoppm (poppler-utils) at 72 dpi, one pixel per point,
// without antialiasing so that probes see pure colours.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

#include "graphics/Image.h"
#include "support/TempFolder.h"

namespace TestSupport {

inline Gfx::Image RasterizePDF(const std::string& pdf, int page = 1)
{
    TempFolder folder;
    if (folder.Path().empty())
        return Gfx::Image();
    const std::string in = folder.Write("in.pdf", pdf).string(), out = (folder.Path() / "out").string();
    const std::string p = std::to_string(page);
    const std::string command = "pdftoppm -png -r 72 -aa no -aaVector no -singlefile -f " + p + " -l " + p + " " + in +
                                " " + out + " 2>/dev/null";
    return std::system(command.c_str()) == 0 ? Gfx::Image::FromPNG(out + ".png") : Gfx::Image();
}

}  // namespace TestSupport
