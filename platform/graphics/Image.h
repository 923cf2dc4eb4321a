// A bitmap image in memory: 32-bit pixels 0xAARRGGBB with premultiplied alpha, rows top-down.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Gfx {

class Image {
public:
    Image() = default;
    Image(int width, int height);  // transparent black

    // An empty image when the file cannot be read as PNG.
    static Image FromPNG(const std::string& path);

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    bool IsEmpty() const { return mWidth <= 0 || mHeight <= 0; }
    uint32_t Pixel(int x, int y) const { return mPixels[static_cast<size_t>(y) * mWidth + x]; }
    void SetPixel(int x, int y, uint32_t argb) { mPixels[static_cast<size_t>(y) * mWidth + x] = argb; }
    const uint32_t* Data() const { return mPixels.data(); }
    uint32_t* Data() { return mPixels.data(); }

    bool WritePNG(const std::string& path) const;

private:
    int mWidth = 0, mHeight = 0;
    std::vector<uint32_t> mPixels;
};

}  // namespace Gfx
