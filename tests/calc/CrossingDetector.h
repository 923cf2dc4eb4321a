// A small event detector for tests: upward crossings of a level in a sample source. It is
// also published as the formula function "Crossings" (alias of "CrossingsEnum").
#pragma once

#include "calc/CalcEnumNumericParamsClass.h"
#include "calc/EEH3Enumerator.h"

namespace CalcTest {

using namespace EEH3;

// 24 bytes: the header, then the number of crossings found so far in the record.
struct CrossingEvent {
    EventHeader header;
    int32_t ordinal;
    int32_t unused;
};

struct Crossings {
    static const CalcEnums::NumericParamsFuncTable sFuncTable;

    struct Params : ParamsBase {
        double level = 0.0;
        void setSettings(std::wistream& in) override { in >> level; }
        void getSettings(KVD::OStringStream& out) const override { out << level; }
    };
    struct State : StateBase {
        explicit State(int32_t tick) : StateBase(tick), tick(tick) {}
        int32_t NextIncompleteTick() const override { return mHitEnd ? kNoTick : tick; }
        int32_t tick;
        float previous = 0.0f;
        bool havePrevious = false;
        int32_t found = 0;
    };
    using Event = CrossingEvent;
    struct Algorithm {
        static bool FindEvent(State& state, Params& params, Event& event)
        {
            if (state.mHitEnd) {
                state.tick = kNoTick;
                return false;
            }
            auto& source = static_cast<FloatExWrapper&>(params.Source(0));
            while (state.tick < state.mAnalysisEnd && source.IsValid()) {
                const float x = source.deref();
                const bool crossing = state.havePrevious && state.previous < params.level && x >= params.level;
                state.previous = x;
                state.havePrevious = true;
                source.Advance();
                ++state.tick;
                if (crossing) {
                    event = {{state.tick - 1, 0.0f, x}, ++state.found, 0};
                    return true;
                }
            }
            return false;
        }
    };
};

}  // namespace CalcTest
