// Where a Cairo drawing context draws: an image in memory (also written as PNG), or a PDF or
// SVG document held in memory until it is finished.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/Context.h"

namespace Gfx {

class Canvas {
public:
    enum class Kind { Image, PDF, SVG };

    static std::unique_ptr<Canvas> CreateImage(int width, int height, Origin origin = Origin::TopLeft);
    // Page size in points.
    static std::unique_ptr<Canvas> CreatePDF(double width, double height, Origin origin = Origin::TopLeft);
    static std::unique_ptr<Canvas> CreateSVG(double width, double height, Origin origin = Origin::TopLeft);

    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    Kind GetKind() const { return mKind; }
    Size GetSize() const { return mSize; }
    Context& GetContext();

    // Image canvases: the pixels drawn so far (empty for the others).
    Image Snapshot() const;
    // Image canvases: the picture as PNG bytes (empty for the others, or when encoding fails).
    std::string PNGData() const;
    bool WritePNG(const std::string& path) const;

    // PDF canvases: ends the page and starts another of the same size and state.
    void NewPage();
    // Document canvases: ends the document (drawing after it does nothing) and gives its bytes.
    const std::string& Finish();
    // Finishes a document canvas, or snapshots an image one, into a file.
    bool WriteFile(const std::string& path);

private:
    struct Impl;
    Canvas(Kind kind, const Size& size, Origin origin);

    Kind mKind;
    Size mSize;
    std::unique_ptr<Impl> mImpl;
};

}  // namespace Gfx
