// Reads a PDF back as pixels with pdftoppm (poppler-utils), without antialiasing so that probes
// see pure colours: a page at 72 dpi, one pixel per point, or a region of one at a printer's
// resolution.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

#include "graphics/Image.h"
#include "support/TempFolder.h"

namespace TestSupport {

// The PDF file at path; `options` choose the page, the resolution and the region, as pdftoppm
// takes them.
inline Gfx::Image RasterizePDFFileWith(const std::string& path, const std::string& options)
{
    TempFolder folder;
    if (folder.Path().empty())
        return Gfx::Image();
    const std::string out = (folder.Path() / "out").string();
    const std::string command =
        "pdftoppm -png -aa no -aaVector no -singlefile " + options + " " + path + " " + out + " 2>/dev/null";
    return std::system(command.c_str()) == 0 ? Gfx::Image::FromPNG(out + ".png") : Gfx::Image();
}

// The same of a PDF's bytes.
inline Gfx::Image RasterizePDFWith(const std::string& pdf, const std::string& options)
{
    TempFolder folder;
    return folder.Path().empty() ? Gfx::Image() : RasterizePDFFileWith(folder.Write("in.pdf", pdf).string(), options);
}

inline Gfx::Image RasterizePDF(const std::string& pdf, int page = 1)
{
    const std::string p = std::to_string(page);
    return RasterizePDFWith(pdf, "-r 72 -f " + p + " -l " + p);
}

// The region of the first page from (x, y), width by height pixels at dpi.
inline Gfx::Image RasterizePDFRegion(const std::string& pdf, int dpi, int x, int y, int width, int height)
{
    return RasterizePDFWith(pdf, "-r " + std::to_string(dpi) + " -f 1 -l 1 -x " + std::to_string(x) + " -y " +
                                     std::to_string(y) + " -W " + std::to_string(width) + " -H " +
                                     std::to_string(height));
}

}  // namespace TestSupport
