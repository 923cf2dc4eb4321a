// What the breath detectors have in common as parts of the event framework: the names under
// which the framework finds a detector's parameters, state, event record and algorithm, and the
// parameters of a detector over one sample source and one event source.
#pragma once

#include <memory>

#include "calc/CalcEnumClassBase2.h"
#include "calc/CalcEnumNumericParamsClass.h"
#include "calc/EEH3ParamsBase.h"
#include "calc/EEH3StateBase.h"

namespace Spirometry {

template <class P, class S, class E, class A>
struct DetectorParts {
    using Params = P;
    using State = S;
    using Event = E;
    using Algorithm = A;
};

// The sample source first, then the event source, read through Events (an EventWrapper); no
// settings of their own.
template <class Events>
class SampleAndEventParams : public EEH3::ParamsBase {
public:
    void getSettings(KVD::OStringStream& out) const override { out << wchar_t(0); }
    // Both sources or none.
    void setSources(long count, IUnknown** sources, IUnitName** units) override
    {
        ReleaseSources();
        if (count < 2 || sources == nullptr)
            return;
        KVD::COMPtr<IEnumFloatEx> samples = KVD::com_cast(sources[0]);
        KVD::COMPtr<IEnumEventEx> events = KVD::com_cast(sources[1]);
        if (!samples || !events)
            return;
        AddSource(std::make_unique<EEH3::FloatExWrapper>(samples.get()), units != nullptr ? units[0] : nullptr);
        AddSource(std::make_unique<Events>(events.get(), mEventBatch), units != nullptr ? units[1] : nullptr);
    }

    // Null until both are wired.
    EEH3::FloatExWrapper* Samples() const
    {
        return SourceCount() == 2 ? static_cast<EEH3::FloatExWrapper*>(&Source(0)) : nullptr;
    }
    Events* EventSource() const { return SourceCount() == 2 ? static_cast<Events*>(&Source(1)) : nullptr; }
};

}  // namespace Spirometry
