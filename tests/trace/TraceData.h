// The host's data of a recording for the trace tests. (The host's data header and the drawing
// layer's headers each name a rectangle type of their own, so they meet in no file.)
#pragma once

#include <memory>

#include "IRecordData.h"
#include "foundation/COMPtr.h"
#include "host/data/Recording.h"

namespace TraceTest {

class TraceData {
public:
    explicit TraceData(std::shared_ptr<Host::Recording> recording);
    ~TraceData();

    std::shared_ptr<Host::Recording> recording;
    KVD::COMPtr<IRecordData> data;
};

}  // namespace TraceTest
