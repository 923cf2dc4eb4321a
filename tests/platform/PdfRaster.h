// Reads a PDF back as pixels with pdftoppm (poppler-utils) at 72 dpi, one pixel per point,
// without antialiasing so that probes see pure colours.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "graphics/Image.h"

namespace TestSupport {

inline Gfx::Image RasterizePDF(const std::string& pdf, int page = 1) {
    char dir[] = "/tmp/pdfrasterXXXXXX";
    if (!mkdtemp(dir))
        return Gfx::Image();
    std::string in = std::string(dir) + "/in.pdf", out = std::string(dir) + "/out";
    std::ofstream(in, std::ios::binary).write(pdf.data(), static_cast<std::streamsize>(pdf.size()));
    std::string command = "pdftoppm -png -r 72 -aa no -aaVector no -singlefile -f " + std::to_string(page) +
                          " -l " + std::to_string(page) + " " + in + " " + out + " 2>/dev/null";
    Gfx::Image image;
    if (std::system(command.c_str()) == 0)
        image = Gfx::Image::FromPNG(out + ".png");
    std::filesystem::remove_all(dir);
    return image;
}

}  // namespace TestSupport
