// What the spirometry tests share: the plug-in's class objects registered with the host,
// vector streams, and recordings built from physical values for the host's data documents.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "foundation/CAFClassObject.h"
#include "host/data/Recording.h"
#include "support/FakeStreams.h"

namespace SpiroTest {

// Registers the plug-in's class objects with the host once, as the entry point does.
inline void RegisterClassObjects()
{
    static const bool registered = (CAFClassObject::RegisterAll(), true);
    (void)registered;
}

inline CalcTest::FloatStream* MakeFloatStream(std::shared_ptr<const std::vector<float>> samples, int32_t position = 0)
{
    return new CalcTest::FloatStream(std::move(samples), std::make_shared<CalcTest::ReadLog>(), position);
}

// A recorded channel: its format and, per record, its values in its unit.
struct RecordedChannel {
    Host::ChannelFormat format;
    std::vector<std::vector<float>> records;
};

// The channels stored as 16-bit values; every channel has the same records, of the lengths
// of the first channel's.
inline std::shared_ptr<Host::Recording> MakeRecording(double tickRate, const std::vector<RecordedChannel>& channels)
{
    std::vector<Host::ChannelFormat> formats;
    for (const RecordedChannel& c : channels)
        formats.push_back(c.format);
    auto recording = std::make_shared<Host::Recording>("test.csv", tickRate, formats);
    for (size_t r = 0; r < channels[0].records.size(); ++r) {
        Host::RecordBlock block{uint32_t(channels[0].records[r].size()), {}};
        for (const RecordedChannel& c : channels) {
            block.samples.emplace_back();
            for (float value : c.records[r])
                block.samples.back().push_back(c.format.Raw(value));
        }
        recording->AddRecord(std::move(block));
    }
    return recording;
}

}  // namespace SpiroTest
