// Where a test leaves a picture for a person to look at: the folder SPIRO_PICTURES names, or the
// test run's temporary folder. Never the build folder, which may be read-only.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace TestSupport {

inline std::filesystem::path PictureFolder(const std::string& sub = "")
{
    const char* chosen = std::getenv("SPIRO_PICTURES");
    std::filesystem::path folder = chosen != nullptr && *chosen != '\0' ? std::filesystem::path(chosen)
                                                                         : std::filesystem::path(::testing::TempDir());
    if (!sub.empty())
        folder /= sub;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder;
}

inline std::string PicturePath(const std::string& file, const std::string& sub = "")
{
    return (PictureFolder(sub) / file).string();
}

}  // namespace TestSupport
