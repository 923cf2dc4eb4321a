// Includes point down the layers: every quoted include of a product file (hostapi, platform,
// src/*, host) must find a header of its own folder or of a folder its layer may use.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// The folders each layer may include, beside its own.
const std::map<std::string, std::set<std::string>> kMayUse = {
    {"hostapi", {}},
    {"platform", {"hostapi"}},
    {"foundation", {"hostapi", "platform"}},
    {"framework", {"hostapi", "platform", "foundation"}},
    {"calc", {"hostapi", "platform", "foundation", "framework"}},
    {"spirometry", {"hostapi", "platform", "foundation", "framework", "calc"}},
    {"plot", {"hostapi", "platform", "foundation", "framework"}},
    {"trace", {"hostapi", "platform", "foundation", "framework"}},
    {"views", {"hostapi", "platform", "foundation", "framework", "calc", "spirometry", "plot", "trace"}},
    {"plugin", {"hostapi", "platform", "foundation", "framework", "calc", "spirometry", "plot", "trace", "views"}},
    {"host", {"hostapi", "platform", "foundation", "calc"}},
};

// The build's include folders, in the order a quoted include searches them after the
// including file's own folder.
const std::vector<fs::path> kIncludeRoots = {"hostapi", "platform", "src", ".", "host"};

struct UpwardInclude {
    std::string file;
    std::string include;
    std::string fromLayer;
    std::string toLayer;
};

// The layer of a path relative to the source root, or "" outside the product.
std::string LayerOf(const fs::path& relative)
{
    auto part = relative.begin();
    if (part == relative.end())
        return "";
    const std::string top = part->string();
    if (top == "hostapi" || top == "platform" || top == "host")
        return top;
    if (top == "src" && ++part != relative.end())
        return kMayUse.count(part->string()) != 0 ? part->string() : "";
    return "";
}

// The layer of the header an include finds, or "" when it finds none of ours.
std::string IncludedLayer(const fs::path& root, const fs::path& file, const std::string& include)
{
    std::vector<fs::path> candidates = {file.parent_path() / include};
    for (const auto& dir : kIncludeRoots)
        candidates.push_back(root / dir / include);
    for (const auto& candidate : candidates) {
        if (fs::is_regular_file(candidate))
            return LayerOf(fs::weakly_canonical(candidate).lexically_relative(fs::weakly_canonical(root)));
    }
    return "";
}

std::vector<std::string> QuotedIncludes(const fs::path& file)
{
    static const std::regex kInclude(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::vector<std::string> includes;
    std::ifstream in(file);
    std::smatch match;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_search(line, match, kInclude))
            includes.push_back(match[1]);
    }
    return includes;
}

bool IsSource(const fs::path& path)
{
    static const std::set<std::string> kExtensions = {".h", ".hpp", ".cpp", ".cc", ".inl"};
    return kExtensions.count(path.extension().string()) != 0;
}

void CheckFile(const fs::path& root, const fs::path& file, std::vector<UpwardInclude>* found)
{
    const std::string layer = LayerOf(file.lexically_relative(root));
    for (const auto& include : QuotedIncludes(file)) {
        const std::string target = IncludedLayer(root, file, include);
        if (!target.empty() && target != layer && kMayUse.at(layer).count(target) == 0)
            found->push_back({file.lexically_relative(root).string(), include, layer, target});
    }
}

// Every include of a product file under root that points up the layers.
std::vector<UpwardInclude> UpwardIncludes(const fs::path& root, std::set<std::string>* layersSeen)
{
    std::vector<UpwardInclude> found;
    for (const char* top : {"hostapi", "platform", "src", "host"}) {
        if (!fs::is_directory(root / top))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string layer = LayerOf(entry.path().lexically_relative(root));
            if (!entry.is_regular_file() || !IsSource(entry.path()) || layer.empty())
                continue;
            layersSeen->insert(layer);
            CheckFile(root, entry.path(), &found);
        }
    }
    return found;
}

TEST(Layers, AnIncludeUpTheLayersIsNamedWithItsFile)
{
    TestSupport::TempFolder tree;
    tree.Write("src/spirometry/SpiroThing.h", "#pragma once\n");
    tree.Write("src/calc/Enum.h", "#pragma once\n");
    tree.Write("hostapi/IThing.h", "#pragma once\n");
    tree.Write("host/data/Reader.cpp",
               "#include \"IThing.h\"\n#include \"calc/Enum.h\"\n  # include \"spirometry/SpiroThing.h\"\n"
               "#include <spirometry/SpiroThing.h>\n#include \"NotOurs.h\"\n");
    tree.Write("src/calc/Parser.cpp", "#include \"spirometry/SpiroThing.h\"\n#include \"Enum.h\"\n");

    std::set<std::string> seen;
    std::vector<std::string> named;
    for (const auto& up : UpwardIncludes(tree.Path(), &seen))
        named.push_back(up.file + " " + up.include + " " + up.fromLayer + ">" + up.toLayer);
    std::sort(named.begin(), named.end());
    EXPECT_EQ(named, (std::vector<std::string>{"host/data/Reader.cpp spirometry/SpiroThing.h host>spirometry",
                                               "src/calc/Parser.cpp spirometry/SpiroThing.h calc>spirometry"}));
}

TEST(Layers, ProductIncludesPointDown)
{
    std::set<std::string> seen;
    for (const auto& up : UpwardIncludes(SPIRO_SOURCE_DIR, &seen))
        ADD_FAILURE() << up.file << " includes \"" << up.include << "\": " << up.fromLayer << " may not use "
                      << up.toLayer;
    for (const char* layer : {"hostapi", "platform", "foundation", "framework", "calc", "spirometry", "host"})
        EXPECT_TRUE(seen.count(layer) != 0) << "no files found of " << layer;
}

}  // namespace
