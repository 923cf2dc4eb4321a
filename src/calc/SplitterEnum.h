// Lets several readers consume one float stream at their own positions while the stream is
// read only once. Samples read from the source are kept in a ring that grows so that no
// sample an active reader still needs is overwritten; a reader far ahead of the slowest one
// makes the splitter skip the source instead of buffering the gap.
#pragma once

#include <memory>

#include "IUnitName.h"
#include "calc/CalcEnumBase.h"
#include "foundation/COMPtr.h"

namespace CalcEnums {

class SplitterEnum : public CalcEnumBase2 {
public:
    class Enum;

    SplitterEnum(ICalcEnumClass2* classObject, IOrrelData2* data);
    ~SplitterEnum() override;

    // A splitter without class object or data; out receives the only reference.
    static HRESULT sCreate(ICalcEnum** out);

    HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update) override;
    HRESULT GetSettings(IAutoKVDString** text) override;
    HRESULT CloneSlave(IUnknown* outer, ICalcEnum** out) override;
    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                       CalcEnumFlags flags) override;
    HRESULT SetInitialPosition(int32_t position) override;
    HRESULT ReleaseSources() override;
    HRESULT GetOutputInfo(double* sampling, IUnitName** unit) override;
    HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) override;
    HRESULT GetTickToSample(TTickToSample* map) override;

    // Read through the master reader once Clone has made one, else straight from the source.
    HRESULT Next(uint32_t count, float* buffer, uint32_t* delivered) override;
    HRESULT SkipEx(int32_t count, int32_t* skipped) override;
    HRESULT GetPosition(int32_t* position) override;
    HRESULT IsFilling(AutoBool* filling) override;
    // A new reader at the source's current position (the first call also makes the master).
    HRESULT Clone(IEnumExBase** out) override;

    uint32_t Capacity() const { return mCapacity; }
    // Samples held in the ring.
    uint32_t Held() const { return mWrapped ? mCapacity : mWrite; }

private:
    SplitterEnum(const SplitterEnum& other);

    Enum* NewReader(bool holdsSplitter);
    void Link(Enum* reader);
    void Unlink(Enum* reader);
    int32_t SourcePosition() const;
    int32_t MinReaderPosition() const;
    void Reset();
    void SetSize(uint32_t size);
    // Reads n further samples while keeping the newest `keep`; answers the number read.
    int32_t GetMore(int32_t n, int32_t keep);
    uint32_t ReadInto(uint32_t n);
    // Skips the source by count, moves the end position by what was skipped and empties the ring.
    HRESULT SkipSourceAndReset(int32_t count);
    // Makes the samples from position on available; answers the ring index of the first.
    uint32_t GetOutPtr(int32_t position, uint32_t count, uint32_t* available);
    int32_t AdvanceOutPtr(int32_t position, int32_t count);

    double mSampling = 0.0;
    KVD::COMPtr<IEnumFloatEx, KVD::COMCloneEnumEx> mSource;
    KVD::COMPtr<Enum> mMaster;
    HRESULT mLastCode = KVD_S_OK;
    std::unique_ptr<float[]> mRing;
    uint32_t mWrite = 0;      // ring index of the next sample read from the source
    int32_t mEnd = 0;         // position just past the newest sample held
    uint32_t mCapacity = 32;
    Enum* mFirstReader = nullptr;
    KVD::COMPtr<IUnitName> mUnit;
    bool mWrapped = false;
};

// One reader of a splitter.
class SplitterEnum::Enum : public CalcEnumBase2 {
public:
    Enum(SplitterEnum* owner, int32_t position, bool holdsOwner);
    ~Enum() override;

    HRESULT Next(uint32_t count, float* buffer, uint32_t* delivered) override;
    HRESULT SkipEx(int32_t count, int32_t* skipped) override;
    HRESULT GetPosition(int32_t* position) override;
    HRESULT IsFilling(AutoBool* filling) override;
    HRESULT GetTickToSample(TTickToSample* map) override;
    HRESULT SetInitialPosition(int32_t position) override;
    HRESULT Clone(IEnumExBase** out) override;
    HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) override;

    // A reader is no calculation enumerator of its own.
    HRESULT GetTypeId(TCAFId*) override { return KVD_E_NOTIMPL; }
    HRESULT GetClassObject(ICalcEnumClass2**) override { return KVD_E_NOTIMPL; }
    HRESULT SetSettings(IAutoKVDString*, BlockUpdateType*) override { return KVD_E_NOTIMPL; }
    HRESULT GetSettings(IAutoKVDString**) override { return KVD_E_NOTIMPL; }
    HRESULT CloneSlave(IUnknown*, ICalcEnum**) override { return KVD_E_NOTIMPL; }
    HRESULT SetSources(int32_t, long, IUnknown**, IUnitName**, double, CalcEnumFlags) override { return KVD_E_NOTIMPL; }
    HRESULT ReleaseSources() override { return KVD_E_NOTIMPL; }
    HRESULT IsUpdateNeeded(long, BlockUpdateType, BlockUpdateType*) override { return KVD_E_NOTIMPL; }
    HRESULT ClearCachedData(BlockUpdateType, KVDPosition, KVDPosition, int32_t, int32_t) override { return KVD_E_NOTIMPL; }
    HRESULT ReindexCachedData(uint32_t, int32_t, int32_t) override { return KVD_E_NOTIMPL; }
    HRESULT GetOutputInfo(double*, IUnitName**) override { return KVD_E_NOTIMPL; }

    bool IsActive() const { return mActive; }

private:
    friend class SplitterEnum;

    int32_t mPosition;
    SplitterEnum* mOwner;
    // Every reader but the master keeps the splitter alive.
    KVD::COMPtr<SplitterEnum> mOwnerHold;
    Enum* mNext = nullptr;
    bool mActive = true;
};

}  // namespace CalcEnums
