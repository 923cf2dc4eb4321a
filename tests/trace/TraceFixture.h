// What the trace tests draw: a recording of two channels with annotations, its host data, a
// stand-in data pane, and a drawing context that records its calls.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "foundation/COMPtr.h"
#include "foundation/draw/TDC.h"
#include "graphics/RecordingContext.h"
#include "IRecordData.h"
#include "host/data/Recording.h"
#include "host/drawing/DrawingServices.h"
#include "support/TracePane.h"

namespace TraceTest {

constexpr uint32_t kUnits = 0x40001000;

// 1 kHz: "Sine" (1 Hz, amplitude 1 V) and "Ramp" (0..2 over each second); records of the
// given ticks; annotations at the given seconds.
inline std::shared_ptr<Host::Recording> MakeRecording(std::vector<uint32_t> records,
                                                      std::vector<Host::Annotation> notes = {})
{
    auto rec = std::make_shared<Host::Recording>(
        "trace.csv", 1000.0,
        std::vector<Host::ChannelFormat>{{"Sine", "V", 0.0001, 0.0}, {"Ramp", "V", 0.0001, 0.0}});
    for (uint32_t ticks : records) {
        Host::RecordBlock block;
        block.ticks = ticks;
        block.samples.resize(2);
        for (uint32_t t = 0; t < ticks; ++t) {
            block.samples[0].push_back(int16_t(std::lround(10000.0 * std::sin(2 * M_PI * t / 1000.0))));
            block.samples[1].push_back(int16_t(t % 1000 * 20));
        }
        rec->AddRecord(std::move(block));
    }
    for (auto& note : notes)
        rec->AddAnnotation(note);
    return rec;
}

class Recorded {
public:
    explicit Recorded(double width = 400, double height = 300)
        : context({width, height}, Gfx::Origin::TopLeft), dc(CreateTDC(&context, false))
    {
    }
    // The calls from the first one starting with prefix.
    std::vector<std::string> Matching(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const auto& c : context.Calls())
            if (c.rfind(prefix, 0) == 0)
                out.push_back(c);
        return out;
    }

    Gfx::RecordingContext context;
    std::unique_ptr<TDC> dc;
};

// The host's data of a recording.
class TraceData {
public:
    explicit TraceData(std::shared_ptr<Host::Recording> recording)
        : recording(std::move(recording)), data(Host::CreateRecordingData(this->recording))
    {
        data->Release();
    }

    std::shared_ptr<Host::Recording> recording;
    KVD::COMPtr<IRecordData> data;
};


}  // namespace TraceTest
