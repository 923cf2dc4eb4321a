// Renders HTML pages with headless Chromium: to PNG screenshots or to PDF. Chromium runs as a
// child process without a sandbox, background networking or first-run work, in a throwaway
// profile, and is stopped when it takes too long.
#pragma once

#include <string>

namespace Web {

class HeadlessChromium {
public:
    // The browser named by SPIRO_CHROMIUM, else /usr/bin/chromium.
    static std::string Executable();
    static bool Available();

    // Loads the file:// URL in a window of the given size and writes what it shows as PNG.
    static bool Screenshot(const std::string& url, int width, int height, const std::string& pngPath);
    // Prints the page at the URL to a PDF file, without headers and footers.
    static bool PrintToPdf(const std::string& url, const std::string& pdfPath);

    static constexpr int kTimeoutSeconds = 60;

private:
    static bool Run(const std::string& url, const std::string& outputFlag, int width, int height,
                    const std::string& output);
};

}  // namespace Web
