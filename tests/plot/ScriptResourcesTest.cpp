// The page scripts as served: names and order, bundles and their flags, the CR LF after every
// file, each file's text as it is on disk, the plot page's bytes and the three plot calls.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "plot/LumoHtml.h"
#include "plot/ScriptCalls.h"
#include "plot/ScriptResources.h"

namespace {

const std::vector<std::string> kNames = {
    "canvas_layer.js", "event_dispatcher.js", "utility.js", "fractal.js", "remote.js",  "histogram.js",
    "tplot.js",        "types.js",            "legend.js",  "pix_data.js", "box.js",    "scaling.js",
    "text_layer.js",   "text_region.js",      "vlines.js",  "drag_scroller.js", "zoom.js", "plot.js",
    "jquery.js",       "main.js",             "ellipse.js", "check_props.js", "cursor.js", "draw.js",
    "graticule.js",    "svg_layer.js",        "button.js",  "setup.js",   "drag_scale.js", "styles.js",
    "bar.js",          "scatter.js",
};

std::string FileOnDisk(const std::string& name)
{
    const std::string path = name == "jquery.js" ? SPIRO_JQUERY : std::string(SPIRO_PLOT_JS_DIR) + "/" + name;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The files in order, each followed by CR LF.
std::string Served(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += FileOnDisk(name) + "\r\n";
    return text;
}

// jquery.js, main.js and remote.js as chosen, then the 29 others in table order.
std::string Bundle(bool jquery, bool remote)
{
    std::vector<std::string> names;
    if (jquery)
        names.push_back("jquery.js");
    names.push_back("main.js");
    if (remote)
        names.push_back("remote.js");
    for (const std::string& name : kNames) {
        if (name != "jquery.js" && name != "main.js" && name != "remote.js")
            names.push_back(name);
    }
    EXPECT_EQ(names.size(), 29u + jquery + remote + 1);
    return Served(names);
}

std::string Text(const std::vector<char>& data)
{
    return std::string(data.begin(), data.end());
}

TEST(ScriptResources, NamesInTableOrder)
{
    std::vector<std::string> names = {"left over"};
    Lumo::GetResNames(names);
    EXPECT_EQ(names, kNames);
}

TEST(ScriptResources, EachFileAsOnDiskWithCrLf)
{
    for (const std::string& name : kNames) {
        const std::string disk = FileOnDisk(name);
        ASSERT_FALSE(disk.empty()) << name;
        std::vector<char> data;
        std::string mimeType;
        ASSERT_TRUE(Lumo::GetResource(name, data, mimeType)) << name;
        EXPECT_EQ(mimeType, "text/javascript");
        EXPECT_TRUE(Text(data) == disk + "\r\n") << name;
    }
}

TEST(ScriptResources, WriteResAppends)
{
    std::vector<char> data = {'x'};
    EXPECT_TRUE(Lumo::WriteRes("zoom.js", data));
    EXPECT_TRUE(Text(data) == "x" + FileOnDisk("zoom.js") + "\r\n");
    EXPECT_FALSE(Lumo::WriteRes("Zoom.js", data));
    EXPECT_FALSE(Lumo::WriteRes("lumo.js", data));
    EXPECT_EQ(data.size(), FileOnDisk("zoom.js").size() + 3);
}

TEST(ScriptResources, BundleFlags)
{
    const struct {
        const char* name;
        bool bundle;
        int flags;
    } cases[] = {
        {"lumo.js", true, 3},
        {"lumo_local.js", true, 1},
        {"LUMO_LOCAL.js", true, 1},
        {"lumo_local.JS", true, 1},
        {"lumo__local.js", true, 1},
        {"lumo_remote_local.js", true, 1},
        {"lumo_local_remote.js", true, 3},
        {"lumo_no.js", true, 3},
        {"lumo_no_jquery.js", true, 2},
        {"lumo_not_local.js", true, 3},
        {"lumo_not_jquery_local.js", true, 0},
        {"lumo_no_x_jquery.js", true, 3},
        {"lumo_x_local.js", true, 1},
        {".js", true, 3},
        {"_.js", true, 3},
        {"main.js", false, 3},
        {"x_lumo.js", false, 3},
        {"lumo.html", false, 3},
        {"lumo.js.html", false, 3},
        {"lumo", false, 3},
    };
    for (const auto& test : cases) {
        int flags = -1;
        EXPECT_EQ(Lumo::GetResourceFlags(test.name, flags), test.bundle) << test.name;
        EXPECT_EQ(flags, test.flags) << test.name;
    }
}

TEST(ScriptResources, Bundles)
{
    const struct {
        const char* name;
        bool jquery;
        bool remote;
    } cases[] = {
        {"lumo.js", true, true},
        {"lumo_local.js", true, false},
        {"LUMO_LOCAL.js", true, false},
        {"lumo__local.js", true, false},
        {"lumo_no_jquery.js", false, true},
        {"lumo_not_local.js", true, true},
        {".js", true, true},
    };
    for (const auto& test : cases) {
        std::vector<char> data = {'x'};
        std::string mimeType;
        ASSERT_TRUE(Lumo::GetResource(test.name, data, mimeType)) << test.name;
        EXPECT_EQ(mimeType, "text/javascript");
        EXPECT_TRUE(Text(data) == Bundle(test.jquery, test.remote)) << test.name;
    }
}

TEST(ScriptResources, Refused)
{
    const struct {
        const char* name;
        const char* mimeType;  // after the call, from "before"
    } cases[] = {
        {"nodot", "before"},
        {"lumo_local.JS", ""},
        {"main.txt", ""},
        {"missing.js", "text/javascript"},
        {"Main.js", "text/javascript"},
        {"lumo.html", "text/html"},
    };
    for (const auto& test : cases) {
        std::vector<char> data = {'x'};
        std::string mimeType = "before";
        EXPECT_FALSE(Lumo::GetResource(test.name, data, mimeType)) << test.name;
        EXPECT_TRUE(data.empty()) << test.name;
        EXPECT_EQ(mimeType, test.mimeType) << test.name;
    }
}

TEST(PlotPage, BytesAroundTheLocalBundle)
{
    const std::string expected =
        "<!doctype html><html> <head>  <script type='text/javascript'>" + Bundle(true, false) +
        "  </script>  <style type=\"text/css\">   body { margin: 0px; padding: 0px; }   div { position: absolute; "
        "width: 100%; height: 100%; }  </style> </head> <body>  <div id=\"local\">  </div> </body></html>";
    EXPECT_TRUE(KVD::LumoHtml::GetLumoHtml() == expected);
    EXPECT_TRUE(KVD::LumoHtml::GetLumoHtml() == expected);
    EXPECT_EQ(KVD::LumoHtml::GetDivId(), "local");
}

TEST(PlotCalls, TextsWithEscapedArguments)
{
    std::string out;
    ASSERT_TRUE(Lumo::GetSetMarkupJS("a: 'it\\'s'", "spirometry_flow_plot", out));
    EXPECT_EQ(out, "lumo.get_plot('spirometry_flow_plot').setup([\n{\nproperty_name: 'a',\nmarkup:\n'it\\'s'\n}\n]);");
    ASSERT_TRUE(Lumo::GetSetMarkupJS("a: 1", "p'); alert('x", out));
    EXPECT_EQ(out, "lumo.get_plot('p\\'); alert(\\'x').setup([\n{\nproperty_name: 'a',\nmarkup:\n1\n}\n]);");

    ASSERT_TRUE(Lumo::GetShowErrorJS("Missing 'x'\r\nat C:\\", "p", out));
    EXPECT_EQ(out, "lumo.get_plot('p').show_error('Missing \\'x\\'\\r\\nat C:\\\\');");

    ASSERT_TRUE(Lumo::GetSVGJS("spirometry_volume_plot", "print", out));
    EXPECT_EQ(out, "lumo.get_plot('spirometry_volume_plot').copy('print');");
    ASSERT_TRUE(Lumo::GetSVGJS("p", "it's", out));
    EXPECT_EQ(out, "lumo.get_plot('p').copy('it\\'s');");
}

TEST(PlotCalls, MarkupThatDoesNotParse)
{
    std::string out = "unchanged";
    EXPECT_FALSE(Lumo::GetSetMarkupJS("a 1", "p", out));
    EXPECT_EQ(out, "unchanged");
    std::string error;
    EXPECT_FALSE(Lumo::GetSetMarkupJS("a: 1,\nb 2", "p", out, error));
    EXPECT_EQ(out, "unchanged");
    EXPECT_EQ(error, "Expected : on line 2: b_ 2");
}

}  // namespace
