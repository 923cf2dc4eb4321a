// Turns a detection algorithm into an event enumerator of the pull model: ICalcEnum to
// configure and wire it, IEnumEventEx to read its events as fixed-size records. T supplies
// the algorithm (see EEH3Cache.h); N is the number of events its wrappers read from an event
// source in one batch. Aggregation in an outer object is supported (CalcEnumAgg).
#pragma once

#include <cstring>
#include <locale>
#include <sstream>

#include "ICalcEnum.h"
#include "ICalcEnumClass2.h"
#include "IEnumEventEx.h"
#include "calc/CalcEnumIdentity.h"
#include "calc/CalcEnumNumericParamsClass.h"
#include "calc/EEH3Cache.h"
#include "foundation/KVDString.h"

namespace EEH3 {

// The unit of every event stream: "?", with one reference for the caller.
IUnitName* NewOutputUnitName();

// A detector's settings text in its tab-separated fields: the argument text the formula puts
// first (a quoted channel name in it may hold blanks), the integer after it, then the detector's
// own fields.
struct SettingsFields {
    bool hasIndex = false;
    long index = 0;
    std::wstring own;
};
SettingsFields SplitSettings(const KVD::String& text);

template <class T, int N>
class EEH3Enumerator : public CalcEnums::CalcEnumFaces<ICalcEnum, IEnumEventEx> {
    using Base = CalcEnums::CalcEnumFaces<ICalcEnum, IEnumEventEx>;

public:
    using Params = typename T::Params;
    using Event = typename T::Event;
    // The formula function the class object describes (CalcEnumNumericParamsClass), when T
    // offers one.
    static inline const CalcEnums::NumericParamsFuncTable& sFuncTable = T::sFuncTable;
    static_assert(sizeof(Event) >= sizeof(EventHeader), "an event record starts with the 16-byte header");

    EEH3Enumerator(ICalcEnumClass2* classObject, IOrrelData2* data) : Base(classObject, data)
    {
        mParams.mData = data;
    }
    // Same settings, region, position and flags; no sources and empty caches.
    EEH3Enumerator(const EEH3Enumerator& other)
        : Base(other),
          mPosition(other.mPosition),
          mMoreEvents(other.mMoreEvents),
          mFilling(other.mFilling),
          mParams(other.mParams),
          mRecord(other.mRecord),
          mSampling(other.mSampling),
          mKept(other.mKept)
    {
    }
    EEH3Enumerator& operator=(const EEH3Enumerator&) = delete;

    IEnumEventEx* EventFace() { return this; }
    Params& GetParams() { return mParams; }

    // ICalcEnum
    HRESULT GetTypeId(TCAFId* id) override { return id == nullptr ? KVD_E_POINTER : TypeIdOut(id); }
    HRESULT GetClassObject(ICalcEnumClass2** cls) override
    {
        return cls == nullptr ? KVD_E_POINTER : ClassObjectOut(cls);
    }
    // One word (the argument list the compiler puts first), one integer, then the detector's
    // own settings, read with the classic locale.
    HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update) override
    {
        mParams.mRegion.SetNoLimits();
        if (update != nullptr)
            *update = kUpdateAll;
        const SettingsFields fields = SplitSettings(KVD::String(text));
        if (fields.hasIndex)
            mParams.mSettingsIndex = fields.index;
        std::wistringstream in(fields.own);
        in.imbue(std::locale::classic());
        mParams.setSettings(in);
        if (mParams.mRegion.IsAllZero())
            mParams.mRegion.SetNoLimits();
        mPosition = 0;
        mMoreEvents = true;
        mCache.Clear();  // checkpoints of other settings would give other events
        return KVD_S_OK;
    }
    HRESULT GetSettings(IAutoKVDString** text) override
    {
        if (text == nullptr)
            return KVD_E_POINTER;
        KVD::OStringStream out;
        out.imbue(std::locale::classic());
        mParams.getSettings(out);
        out.str().GetOut(text);
        return KVD_S_OK;
    }
    // With an outer object, out receives the copy's non-delegating IUnknown.
    HRESULT CloneSlave(IUnknown* outer, ICalcEnum** out) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = reinterpret_cast<ICalcEnum*>(CalcEnums::HandOutInstance(MakeCopy(), outer));
        return KVD_S_OK;
    }
    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                       CalcEnumFlags flags) override
    {
        mFilling = (flags & 0x80000000u) != 0;
        mSampling = sampling;
        mRecord = record;
        mParams.mSourceCount = count;
        mParams.mSampling = sampling;
        mParams.mEventBatch = N;
        mPosition = 0;
        mMoreEvents = true;
        mCache.Clear();  // checkpoints of other sources would give other events
        mParams.setSources(count, sources, units);
        return KVD_S_OK;
    }
    HRESULT SetInitialPosition(int32_t tick) override
    {
        mCache.DropCurrent();
        mKept.reset();
        if (mRecord == mParams.mRegion.startRecord && tick < mParams.mRegion.startTick)
            tick = mParams.mRegion.startTick;
        mPosition = tick;
        for (size_t i = 0; i < mParams.SourceCount(); ++i)
            mParams.Source(i).SetInitialPosition(tick);
        return KVD_S_OK;
    }
    HRESULT ReleaseSources() override
    {
        mParams.ReleaseSources();
        return KVD_S_OK;
    }
    HRESULT IsUpdateNeeded(long, BlockUpdateType change, BlockUpdateType* needed) override
    {
        if (needed == nullptr)
            return KVD_E_POINTER;
        *needed = change != 0 ? kUpdateAll : 0;
        return KVD_S_OK;
    }
    HRESULT ClearCachedData(BlockUpdateType, KVDPosition, KVDPosition, int32_t, int32_t) override { return KVD_S_OK; }
    HRESULT ReindexCachedData(uint32_t, int32_t, int32_t) override { return KVD_S_OK; }
    HRESULT GetOutputInfo(double* sampling, IUnitName** unit) override
    {
        if (sampling != nullptr)
            *sampling = mSampling;
        if (unit != nullptr)
            *unit = NewOutputUnitName();
        return KVD_S_OK;
    }
    HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) override
    {
        if (attributes == nullptr)
            return KVD_E_POINTER;
        *attributes = 0;
        return KVD_S_OK;
    }
    HRESULT GetRecordChannelType(RecordChannelTypes* type) override
    {
        if (type == nullptr)
            return KVD_E_POINTER;
        *type = kRecordChannelEvents;
        return KVD_S_OK;
    }
    HRESULT GetTickToSample(TTickToSample* map) override
    {
        if (map == nullptr)
            return KVD_E_POINTER;
        if (mParams.SourceCount() == 0) {
            *map = {1, 0};
            return KVD_S_OK;
        }
        return mParams.Source(0).GetTickToSample(map);
    }

    // IEnumEventEx
    // A buffer too small for one event is refused: the records are never cut.
    HRESULT Next(uint32_t bytes, int32_t endTick, uint8_t* buffer, uint32_t* count, int32_t* position) override
    {
        if (count == nullptr || buffer == nullptr)
            return KVD_E_POINTER;
        *count = 0;
        const uint32_t room = bytes / sizeof(Event);
        if (room == 0)
            return KVD_E_BADSTATE;
        while (mPosition < endTick) {
            Event event;
            if (mKept) {
                event = *mKept;
                mKept.reset();
                mPosition = HeaderOf(event).tick + 1;
            } else if (!ActuallyGetEvent(mPosition, endTick, event)) {
                break;
            }
            std::memcpy(buffer + static_cast<size_t>(*count) * sizeof(Event), &event, sizeof(Event));
            if (++*count == room)
                break;
        }
        if (mPosition == kNoTick) {
            mMoreEvents = false;
            if (position != nullptr)
                *position = kNoTick;
            return KVD_S_FALSE;
        }
        mPosition = std::min(mPosition, endTick);
        if (position != nullptr)
            *position = mPosition;
        return KVD_S_OK;
    }
    // type 0 searches forwards, any other type backwards; a found event is kept for Next.
    HRESULT Find(EventFindTypes type, int32_t from, int32_t lowest, int32_t limit) override
    {
        mCache.DropCurrent();
        mKept.reset();
        if (from == 0 && type != 0) {
            mPosition = lowest;
            return KVD_S_FALSE;
        }
        if (limit == 0 || lowest == limit) {
            mPosition = limit;
            return KVD_S_FALSE;
        }
        const int32_t start = std::max(from, lowest) < limit ? std::max(from, lowest) : limit - 1;
        Event event;
        int32_t stop = 0;
        const bool found = type == 0
                               ? mCache.GetEventForwards(mRecord, start, limit, event, mParams, mFilling, stop)
                               : mCache.GetEventBackwards(mRecord, start, lowest, limit, event, mParams, mFilling, stop);
        const int32_t tick = HeaderOf(event).tick;
        if (found && tick >= lowest && tick < limit && tick >= 1) {
            mKept = std::make_shared<Event>(event);
            mPosition = tick;
            return KVD_S_OK;
        }
        if (type == 0 ? start > mPosition : start < mPosition)
            mPosition = start;
        return KVD_S_FALSE;
    }
    HRESULT GetPosition(int32_t* position) override
    {
        if (position == nullptr)
            return KVD_E_POINTER;
        *position = mPosition;
        return KVD_S_OK;
    }
    HRESULT SkipIndex(int32_t, int32_t* skipped) override
    {
        if (skipped != nullptr)
            *skipped = 0;
        return KVD_E_NOTIMPL;
    }
    HRESULT Clone(IEnumEventEx** out) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = MakeCopy()->EventFace();
        return KVD_S_OK;
    }
    HRESULT GetSizeofEvents(int32_t* size) override
    {
        if (size == nullptr)
            return KVD_E_POINTER;
        *size = static_cast<int32_t>(sizeof(Event));
        return KVD_S_OK;
    }
    HRESULT GetTypeofEvents(TCAFId* type) override
    {
        if (type == nullptr)
            return KVD_E_POINTER;
        *type = 0;
        return KVD_S_OK;
    }
    HRESULT GetIndex(int32_t* index) override
    {
        if (index != nullptr)
            *index = 0;
        return KVD_E_NOTIMPL;
    }

protected:
private:
    EEH3Enumerator* MakeCopy() const { return new EEH3Enumerator(*this); }

    // The next event of the record in [from, to); the position moves past it, or to where
    // the search stopped.
    bool ActuallyGetEvent(int32_t from, int32_t to, Event& event)
    {
        int32_t stop = 0;
        if (mCache.GetEventForwards(mRecord, from, to, event, mParams, mFilling, stop)) {
            mPosition = HeaderOf(event).tick + 1;
            return true;
        }
        mPosition = stop;
        return false;
    }

    int32_t mPosition = -1;
    bool mMoreEvents = false;
    bool mFilling = false;
    Params mParams;
    int32_t mRecord = 0;
    double mSampling = 0.0;
    ChannelCache<T> mCache;
    std::shared_ptr<Event> mKept;  // found by Find, delivered first by Next; shared with copies
};

}  // namespace EEH3
