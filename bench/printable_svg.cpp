// The printable SVG reader on a 1 MB print rendering of a time plot of 2,000 pixel columns (a
// min/max pair per column for each channel, with graticule, scales and texts), drawn into a
// PDF page and into the recording context. Targets: PDF under 50 ms, recording under 10 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include "graphics/Canvas.h"
#include "graphics/RecordingContext.h"
#include "plot/PrintCanvasFromSVG.h"
#include "plot/SvgBounds.h"

namespace {

constexpr int kColumns = 2000;
constexpr double kWidth = 2060, kChannelHeight = 120;
constexpr size_t kTargetBytes = 1000000;

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", v);
    return text;
}

std::string Text(double x, double y, const char* anchor, const char* baseline, const std::string& text) {
    return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) +
           "\" style=\"font-size:10px;font-family:&quot;DejaVu Sans&quot;;fill:#000000\" text-anchor=\"" + anchor +
           "\" dominant-baseline=\"" + baseline + "\">" + text + "</text>\n";
}

// One channel's strip: graticule, y scale with labels, the trace clipped to the data area.
std::string Channel(int index) {
    const double top = 20 + index * kChannelHeight;
    std::string svg = "<clipPath id=\"clip" + std::to_string(index) + "\"><rect x=\"0\" y=\"0\" width=\"" +
                      std::to_string(kColumns) + "\" height=\"" + Number(kChannelHeight - 10) + "\"/></clipPath>\n";
    svg += "<g transform=\"translate(50 " + Number(top) + ")\">\n";
    for (int line = 1; line < 5; ++line) {
        double y = line * (kChannelHeight - 10) / 5;
        svg += "<line x1=\"0\" y1=\"" + Number(y) + "\" x2=\"" + std::to_string(kColumns) + "\" y2=\"" + Number(y) +
               "\" style=\"stroke:#c0c0c0;stroke-width:1;stroke-dasharray:3,3\"/>\n";
        svg += "<line x1=\"-5\" y1=\"" + Number(y) + "\" x2=\"0\" y2=\"" + Number(y) +
               "\" style=\"stroke:#000000;stroke-width:1\"/>\n";
        svg += Text(-7, y, "end", "middle", Number(2.5 - line));
    }
    svg += "<g clip-path=\"url(#clip" + std::to_string(index) + ")\">\n<path d=\"";
    for (int column = 0; column < kColumns; ++column) {
        double centre = (kChannelHeight - 10) / 2 + 40 * std::sin(column * 0.02 + index);
        svg += (column ? " L" : "M") + Number(column + 0.5) + " " + Number(centre - 3 - column % 7) + " L" +
               Number(column + 0.5) + " " + Number(centre + 3 + column % 5);
    }
    svg += "\" style=\"fill:none;stroke:#1f5fbf;stroke-width:1\"/>\n</g>\n";
    svg += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(kColumns) + "\" height=\"" + Number(kChannelHeight - 10) +
           "\" style=\"fill:none;stroke:#000000;stroke-width:1\"/>\n</g>\n";
    return svg;
}

const std::string& TimePlotSvg() {
    static const std::string svg = [] {
        std::string body;
        int channels = 0;
        while (body.size() < kTargetBytes)
            body += Channel(channels++);
        std::string scale = "<g transform=\"translate(50 " + Number(20 + channels * kChannelHeight) + ")\">\n";
        for (int tick = 0; tick <= kColumns; tick += 100) {
            scale += "<line x1=\"" + std::to_string(tick) + "\" y1=\"0\" x2=\"" + std::to_string(tick) +
                     "\" y2=\"5\" style=\"stroke:#000000;stroke-width:1\"/>\n";
            scale += Text(tick, 7, "middle", "text-before-edge", std::to_string(tick / 100) + " s");
        }
        scale += "</g>\n";
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
               "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" +
               Number(kWidth) + "\" height=\"" + Number(60 + channels * kChannelHeight) + "\">\n" + body + scale +
               Text(kWidth / 2, 5, "middle", "text-before-edge", "Flow") + "</svg>\n";
    }();
    return svg;
}

void SetSize(benchmark::State& state) {
    state.counters["svg_bytes"] = static_cast<double>(TimePlotSvg().size());
}

void BM_ParseOnly(benchmark::State& state) {
    for (auto _ : state) {
        KVD::CheckSvgBounds(TimePlotSvg());
        boost::property_tree::ptree tree;
        std::istringstream text(TimePlotSvg());
        boost::property_tree::read_xml(text, tree);
        benchmark::DoNotOptimize(tree);
    }
    SetSize(state);
}
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond);

void BM_IntoRecordingContext(benchmark::State& state) {
    for (auto _ : state) {
        Gfx::RecordingContext context({842, 595});
        KVD::PrintCanvasFromSVG(context, TimePlotSvg(), 0.4f, 0.4f, 10, 10);
        benchmark::DoNotOptimize(context.Calls().size());
    }
    SetSize(state);
}
BENCHMARK(BM_IntoRecordingContext)->Unit(benchmark::kMillisecond);

// A landscape A4 page, drawn and finished into PDF bytes.
void BM_IntoPdfPage(benchmark::State& state) {
    for (auto _ : state) {
        auto page = Gfx::Canvas::CreatePDF(842, 595);
        KVD::PrintCanvasFromSVG(page->GetContext(), TimePlotSvg(), 0.4f, 0.4f, 10, 10);
        benchmark::DoNotOptimize(page->Finish().size());
    }
    SetSize(state);
}
BENCHMARK(BM_IntoPdfPage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
