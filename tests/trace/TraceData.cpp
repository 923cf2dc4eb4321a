#include "TraceData.h"

#include "host/data/DocumentData.h"

namespace TraceTest {

TraceData::TraceData(std::shared_ptr<Host::Recording> rec) : recording(std::move(rec))
{
    Host::DocumentData* made = Host::DocumentData::Create(recording);
    data = static_cast<IRecordData*>(made);
    made->Release();
}

TraceData::~TraceData()
{
    static_cast<Host::DocumentData*>(data.get())->Close();
}

}  // namespace TraceTest
