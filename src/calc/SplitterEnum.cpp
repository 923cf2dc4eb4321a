#include "calc/SplitterEnum.h"

#include <algorithm>
#include <cstring>

#include "calc/SourcePositioning.h"

namespace CalcEnums {

namespace {

constexpr uint32_t kInitialCapacity = 32;
// A reader this far beyond the slowest active reader is served by skipping the source.
constexpr uint32_t kMaxBufferedGap = 15999;

}  // namespace

SplitterEnum::SplitterEnum(ICalcEnumClass2* classObject, IOrrelData2* data)
    : CalcEnumBase2(classObject, data), mRing(new float[kInitialCapacity])
{
}

SplitterEnum::SplitterEnum(const SplitterEnum& other)
    : CalcEnumBase2(other),
      mSampling(other.mSampling),
      mSource(other.mSource),
      mLastCode(other.mLastCode),
      mRing(new float[kInitialCapacity]),
      mEnd(other.mEnd),
      mUnit(other.mUnit)
{
}

SplitterEnum::~SplitterEnum()
{
    // The master unlinks itself while the splitter is still whole.
    mMaster.Clear();
}

HRESULT SplitterEnum::sCreate(ICalcEnum** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = (new SplitterEnum(nullptr, nullptr))->CalcFace();
    return KVD_S_OK;
}

HRESULT SplitterEnum::SetSettings(IAutoKVDString*, BlockUpdateType* update)
{
    if (update != nullptr)
        *update = kUpdateAll;
    return KVD_S_OK;
}

HRESULT SplitterEnum::GetSettings(IAutoKVDString** text)
{
    if (text == nullptr)
        return KVD_E_NULLOUT;
    *text = nullptr;
    return KVD_S_OK;
}

HRESULT SplitterEnum::CloneSlave(IUnknown*, ICalcEnum** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = (new SplitterEnum(*this))->CalcFace();
    return KVD_S_OK;
}

HRESULT SplitterEnum::SetSources(int32_t, long count, IUnknown** sources, IUnitName** units, double sampling,
                                 CalcEnumFlags)
{
    if (count > 0 && sources != nullptr) {
        mSource = KVD::COMPtr<IEnumFloatEx, KVD::COMCloneEnumEx>(KVD::com_cast(sources[0]));
        mUnit = units != nullptr ? units[0] : nullptr;
        if (mSource)
            mEnd = SourcePosition();
    }
    mSampling = sampling;
    return mSource ? KVD_S_OK : KVD_E_BADSTATE;
}

HRESULT SplitterEnum::SetInitialPosition(int32_t position)
{
    mEnd = position;
    return PositionSource(mSource.get(), position, &mEnd);
}

HRESULT SplitterEnum::ReleaseSources()
{
    mSource.Clear();
    return KVD_S_OK;
}

HRESULT SplitterEnum::GetOutputInfo(double* sampling, IUnitName** unit)
{
    if (sampling != nullptr)
        *sampling = mSampling;
    if (unit != nullptr)
        mUnit.GetOut(unit);
    return KVD_S_OK;
}

HRESULT SplitterEnum::GetInstanceAttributes(CalcInstanceAttributes* attributes)
{
    if (attributes == nullptr)
        return KVD_E_NULLOUT;
    *attributes = kAttrSampleEnum;
    return KVD_S_OK;
}

// Without a source the stream operations are caller errors: they answer 0xF800400A.
HRESULT SplitterEnum::GetTickToSample(TTickToSample* map)
{
    return mSource ? mSource->GetTickToSample(map) : KVD_E_BADSTATE;
}

HRESULT SplitterEnum::IsFilling(AutoBool* filling)
{
    return mSource ? mSource->IsFilling(filling) : KVD_E_BADSTATE;
}

HRESULT SplitterEnum::Next(uint32_t count, float* buffer, uint32_t* delivered)
{
    if (mMaster != nullptr)
        return mMaster->Next(count, buffer, delivered);
    if (mSource)
        return mSource->Next(count, buffer, delivered);
    if (delivered != nullptr)
        *delivered = 0;
    return KVD_E_BADSTATE;
}

HRESULT SplitterEnum::SkipEx(int32_t count, int32_t* skipped)
{
    if (mMaster != nullptr)
        return mMaster->SkipEx(count, skipped);
    if (mSource)
        return mSource->SkipEx(count, skipped);
    if (skipped != nullptr)
        *skipped = 0;
    return KVD_E_BADSTATE;
}

HRESULT SplitterEnum::GetPosition(int32_t* position)
{
    if (mMaster != nullptr)
        return mMaster->GetPosition(position);
    if (mSource)
        return mSource->GetPosition(position);
    if (position != nullptr)
        *position = -1;
    return KVD_E_BADSTATE;
}

HRESULT SplitterEnum::Clone(IEnumExBase** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    if (mMaster == nullptr)
        mMaster = KVD::COMPtr<Enum>::Take(NewReader(false));
    *out = NewReader(true)->StreamFace();
    return KVD_S_OK;
}

SplitterEnum::Enum* SplitterEnum::NewReader(bool holdsSplitter)
{
    return new Enum(this, SourcePosition(), holdsSplitter);
}

void SplitterEnum::Link(Enum* reader)
{
    Enum** last = &mFirstReader;
    while (*last != nullptr)
        last = &(*last)->mNext;
    *last = reader;
}

void SplitterEnum::Unlink(Enum* reader)
{
    for (Enum** link = &mFirstReader; *link != nullptr; link = &(*link)->mNext) {
        if (*link == reader) {
            *link = reader->mNext;
            return;
        }
    }
}

int32_t SplitterEnum::SourcePosition() const
{
    int32_t position = 0;
    if (mSource)
        mSource->GetPosition(&position);
    return position;
}

int32_t SplitterEnum::MinReaderPosition() const
{
    int32_t lowest = 0x7FFFFFFF;
    for (const Enum* reader = mFirstReader; reader != nullptr; reader = reader->mNext) {
        if (reader->mActive)
            lowest = std::min(lowest, reader->mPosition);
    }
    return lowest;
}

void SplitterEnum::Reset()
{
    mWrite = 0;
    mWrapped = false;
    for (Enum* reader = mFirstReader; reader != nullptr; reader = reader->mNext)
        reader->mActive = false;
}

void SplitterEnum::SetSize(uint32_t size)
{
    if (size <= mCapacity)
        return;
    std::unique_ptr<float[]> ring(new float[size]);
    uint32_t copied = 0;
    if (mWrapped) {
        copied = mCapacity - mWrite;
        std::memcpy(ring.get(), mRing.get() + mWrite, copied * sizeof(float));
    }
    std::memcpy(ring.get() + copied, mRing.get(), mWrite * sizeof(float));
    mWrite += copied;
    mRing = std::move(ring);
    mCapacity = size;
    mWrapped = false;
}

uint32_t SplitterEnum::ReadInto(uint32_t n)
{
    uint32_t got = 0;
    mLastCode = mSource ? mSource->Next(n, mRing.get() + mWrite, &got) : KVD_E_BADSTATE;
    mWrite += got;
    if (mWrite >= mCapacity) {
        mWrite = 0;
        mWrapped = true;
    }
    return got;
}

int32_t SplitterEnum::GetMore(int32_t n, int32_t keep)
{
    if (n < 1)
        return 0;
    const int64_t need = int64_t(n) + std::max(keep, 0);
    if (need > mCapacity)
        SetSize(static_cast<uint32_t>(std::max<int64_t>(2 * int64_t(mCapacity), need)));
    uint32_t total = ReadInto(std::min<uint32_t>(n, mCapacity - mWrite));
    if (mLastCode == KVD_S_OK && total < uint32_t(n))
        total += ReadInto(n - total);
    mEnd += static_cast<int32_t>(total);
    return static_cast<int32_t>(total);
}

HRESULT SplitterEnum::SkipSourceAndReset(int32_t count)
{
    int32_t skipped = 0;
    const HRESULT hr = mSource ? mSource->SkipEx(count, &skipped) : KVD_E_BADSTATE;
    mEnd += skipped;
    Reset();
    return hr;
}

uint32_t SplitterEnum::GetOutPtr(int32_t position, uint32_t count, uint32_t* available)
{
    const int32_t oldest = mEnd - static_cast<int32_t>(Held());
    const int32_t wanted = static_cast<int32_t>(count);
    if (position < oldest) {
        SkipSourceAndReset(position - mEnd);  // a backward skip; its code is not kept
        GetMore(wanted, 0);
    } else if (position <= mEnd) {
        const int32_t slowest = std::min(MinReaderPosition(), position);
        GetMore(wanted + position - mEnd, mEnd - slowest);
    } else {
        const int32_t slowest = MinReaderPosition();
        if (static_cast<uint32_t>(position - slowest) <= kMaxBufferedGap) {
            GetMore(wanted + position - mEnd, mEnd - slowest);
        } else {
            mLastCode = SkipSourceAndReset(position - mEnd);
            GetMore(wanted, 0);
        }
    }
    // A source that stopped short, or could not go back far enough, leaves position outside
    // the ring: then nothing is available rather than a negative count or stale samples.
    int64_t ready = int64_t(mEnd) - position;
    if (ready < 0 || position < mEnd - static_cast<int32_t>(Held()))
        ready = 0;
    *available = static_cast<uint32_t>(std::min<int64_t>(ready, count));
    const uint32_t back = static_cast<uint32_t>(ready);
    return back <= mWrite ? mWrite - back : mWrite + mCapacity - back;
}

int32_t SplitterEnum::AdvanceOutPtr(int32_t position, int32_t count)
{
    const int64_t target = int64_t(position) + count;
    if (target <= mEnd)
        return count;
    const int32_t slowest = MinReaderPosition();
    if (target - slowest >= int64_t(mCapacity))
        mLastCode = SkipSourceAndReset(static_cast<int32_t>(target - mEnd));
    else
        GetMore(static_cast<int32_t>(target - mEnd), mEnd - slowest);
    return std::max(mEnd - position, 0);
}

SplitterEnum::Enum::Enum(SplitterEnum* owner, int32_t position, bool holdsOwner)
    : CalcEnumBase2(nullptr, nullptr), mPosition(position), mOwner(owner), mOwnerHold(holdsOwner ? owner : nullptr)
{
    mOwner->Link(this);
}

SplitterEnum::Enum::~Enum()
{
    // Unlinked before the hold on the splitter goes.
    mOwner->Unlink(this);
}

HRESULT SplitterEnum::Enum::Next(uint32_t count, float* buffer, uint32_t* delivered)
{
    uint32_t available = 0;
    const uint32_t start = mOwner->GetOutPtr(mPosition, count, &available);
    mActive = true;
    const uint32_t first = std::min(available, mOwner->mCapacity - start);
    std::memcpy(buffer, mOwner->mRing.get() + start, first * sizeof(float));
    std::memcpy(buffer + first, mOwner->mRing.get(), (available - first) * sizeof(float));
    if (delivered != nullptr)
        *delivered = available;
    mPosition += static_cast<int32_t>(available);
    return available == count ? KVD_S_OK : mOwner->mLastCode;
}

HRESULT SplitterEnum::Enum::SkipEx(int32_t count, int32_t* skipped)
{
    const int32_t old = mPosition;
    if (count >= 1)
        mPosition += mOwner->AdvanceOutPtr(mPosition, count);
    else
        mPosition = std::max(0, mPosition + count);
    const int32_t moved = mPosition - old;
    if (skipped != nullptr)
        *skipped = moved;
    return moved == count ? KVD_S_OK : mOwner->mLastCode;
}

HRESULT SplitterEnum::Enum::GetPosition(int32_t* position)
{
    if (position == nullptr)
        return KVD_E_NULLOUT;
    *position = mPosition;
    return KVD_S_OK;
}

HRESULT SplitterEnum::Enum::IsFilling(AutoBool* filling)
{
    return mOwner->IsFilling(filling);
}

HRESULT SplitterEnum::Enum::GetTickToSample(TTickToSample* map)
{
    return mOwner->GetTickToSample(map);
}

HRESULT SplitterEnum::Enum::SetInitialPosition(int32_t position)
{
    return mOwner->SetInitialPosition(position);
}

HRESULT SplitterEnum::Enum::Clone(IEnumExBase** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    auto* reader = new Enum(mOwner, mPosition, true);
    reader->mActive = mActive;
    *out = reader->StreamFace();
    return KVD_S_OK;
}

HRESULT SplitterEnum::Enum::GetInstanceAttributes(CalcInstanceAttributes* attributes)
{
    if (attributes == nullptr)
        return KVD_E_NULLOUT;
    *attributes = kAttrPrivateStream | kAttrSampleEnum;
    return KVD_S_OK;
}

}  // namespace CalcEnums
