#include "framework/ChannelCalcBase.h"

#include <cmath>
#include <limits>

#include "FrameworkIds.h"
#include "ICalcEnum.h"
#include "ICalcEnumClass2.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"

namespace {

constexpr float kLargestFloat = std::numeric_limits<float>::max();
// Values beyond this cannot be scaled into 16 bits with any useful precision.
constexpr float kClampLimit = 1e24f;
constexpr float kSteps = 64000.0f;

float Clamp(float value)
{
    if (static_cast<double>(value) > static_cast<double>(kClampLimit))
        return kClampLimit;
    if (static_cast<double>(value) < -static_cast<double>(kClampLimit))
        return -kClampLimit;
    return value;
}

template <class I>
KVD::COMPtr<I> ClassObject(CAFId typeId)
{
    KVD::COMPtr<I> cls;
    if (IObjectFactory* factory = ObjectFactoryAccessor::Get())
        factory->GetClassObject(typeId, IIDOf<I>(), cls.Set());
    return cls;
}

}  // namespace

ChannelCalcBase::ChannelCalcBase(ICalculationClass* calcClass, IOrrelSetCalcData* calcData, TChannelId channel)
    // Unlike other counted objects a calculation is born holding its maker's reference, which
    // also keeps it alive while its inner object takes and drops references to it below.
    : SimpleUnknownImp1(KVD::RefCount::HeldByMaker{}),
      mCalcData(calcData),
      mCalcClass(calcClass),
      mChannel(channel),
      mRangeLow(std::numeric_limits<float>::infinity()),
      mRangeHigh(-std::numeric_limits<float>::infinity())
{
    if (calcData != nullptr) {
        KVD::COMPtr<IOrrelData2> data;
        calcData->GetData(data.Set());
        mData = data;  // the document keeps its data for as long as its calculations
        mRecordData = KVD::com_cast(mData);
    }
    if (IObjectFactory* factory = ObjectFactoryAccessor::Get())
        factory->CreateObject(TypeIdClass<&GUID_OrrelObjects, kOrrelObject_CalcEnumHost>::GetId(),
                              static_cast<IChannelCalc*>(this), IID_IUnknown, mInner.Set());
    if (mInner != nullptr) {
        KVD::COMPtr<ICalcEnumHost, KVD::COMWeak> host(KVD::com_cast(mInner.get()));
        mCalcEnumHost = host;
    }
}

ChannelCalcBase::~ChannelCalcBase()
{
    mUnits.Clear();
    mCalcEnumHost = nullptr;
    mInner.Clear();
}

HRESULT ChannelCalcBase::QueryMore(const _IID& iid, void** out)
{
    if (mInner == nullptr || mInner->QueryInterface(iid, out) != KVD_S_OK) {
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }
    return KVD_S_OK;
}

HRESULT ChannelCalcBase::GetInfoString(uint32_t, IAutoKVDString** out) const
{
    if (out != nullptr)
        *out = nullptr;
    return KVD_E_NOTIMPL;
}

HRESULT ChannelCalcBase::Deconfigure(uint32_t)
{
    return KVD_S_OK;
}

HRESULT ChannelCalcBase::SetCalcEnums(CAFId calcEnumClassId)
{
    mCalcEnumClass = calcEnumClassId;
    KVD::COMPtr<ICalcEnumClass2> cls = ClassObject<ICalcEnumClass2>(calcEnumClassId);
    if (cls == nullptr)
        return KVD_E_BADSTATE;
    KVD::COMPtr<ICalcEnum> calcEnum;
    cls->Create(mData, calcEnum.Set());
    if (mCalcEnumHost == nullptr)
        return KVD_E_BADSTATE;
    return mCalcEnumHost->InstallCalcEnum(mCalcClass, mChannel, mCalcData, calcEnum);
}

void ChannelCalcBase::MakeUnits(float top, float bottom, int unitIndex, DataScaling* scaling, bool symmetric)
{
    mUnits.Clear();
    const float high = Clamp(top);
    const float low = Clamp(symmetric ? -top : bottom);
    float range = high - low;
    if (!std::isfinite(range))
        range = kLargestFloat;
    if (range == 0.0f) {
        // One step per unit, the value itself at 0.
        mStep = 1.0;
        mOffset = low;
        if (scaling != nullptr)
            *scaling = DataScaling{1.0, -static_cast<double>(low)};
    } else {
        double step = static_cast<double>(range / kSteps);
        if (!std::isfinite(step))
            step = static_cast<double>(kLargestFloat);
        mStep = step;
        const double t = (1.0 / static_cast<double>(range)) * static_cast<double>(low) * -64000.0 + -32000.0;
        mOffset = -t;
        if (scaling != nullptr)
            *scaling = DataScaling{1.0 / step, t * step};
    }
    mRangeLow = std::numeric_limits<float>::infinity();
    mRangeHigh = -std::numeric_limits<float>::infinity();
    mUnitsWord = 1;
    mUnitIndex = unitIndex;
    mUnitsFlag = kAutoFalse;
}

HRESULT ChannelCalcBase::sDoAutoScale(long count, const CalcEnums::CCalcEnumSourceInfo* sources,
                                      ICalculationClass* calcClass, CAFId calcEnumClassId,
                                      const IPersistObject* settings, const KVD::String& text, IAutoOrrelDoc* doc,
                                      TChannelId channel, KVDPosition start, KVDPosition end, float* top,
                                      float* bottom, bool flag)
{
    if (doc == nullptr || calcClass == nullptr)
        return KVD_E_POINTER;
    KVD::COMPtr<IOrrelData2> data;
    doc->GetData(data.Set());
    KVD::COMPtr<IOrrelSetCalcData> calcData(KVD::com_cast(data.get()));
    KVD::COMPtr<ICalculation> calculation;
    calcClass->Create(channel, calcData, calculation.Set());
    KVD::COMPtr<ICalcEnumHost> host(KVD::com_cast(calculation.get()));
    if (host == nullptr)
        return KVD_E_BADSTATE;
    if (KVD::COMPtr<IChannelCalc> channelCalc{KVD::com_cast(host.get())})
        channelCalc->SetSettingsForAutoScale(0, settings);

    HRESULT result = KVD_E_BADSTATE;
    if (KVD::COMPtr<ICalcEnumClass2> cls = ClassObject<ICalcEnumClass2>(calcEnumClassId)) {
        KVD::COMPtr<ICalcEnum> calcEnum;
        cls->Create(data, calcEnum.Set());
        KVD::COMPtr<IOrrelSetCalcData> installData(KVD::com_cast(data.get()));
        host->InstallCalcEnum(nullptr, channel, installData, calcEnum);
        IOrrelData2* runOn = data;
        host->SetSettingsText(text.AsIAutoKVDString(), &runOn);
        host->SetSources(count, sources, 0);
        result = host->AutoScale(doc, start, end, top, bottom, flag ? kAutoScale_IncludeZero : 0);
    }
    host->Reset();
    return result;
}

HRESULT ChannelCalcBase::sDoAutoScale(long count, const CalcEnums::CCalcEnumSourceInfo* sources,
                                      ICalculationClass* calcClass, CAFId calcEnumClassId,
                                      const IPersistObject* settings, const KVD::String& text, IAutoOrrelDoc* doc,
                                      IOrrelView* view, TChannelId channel, float* top, float* bottom, bool, bool flag)
{
    if (doc == nullptr)
        return KVD_E_POINTER;
    KVD::COMPtr<IRecordData> records;  // held for the duration of the call
    doc->GetRecordData(0, records.Set());
    KVDPosition start{0, 0};
    KVDPosition end{kNoPositionTick, 0};
    if (view != nullptr)
        view->GetDisplayedRange(&start, &end);
    return sDoAutoScale(count, sources, calcClass, calcEnumClassId, settings, text, doc, channel, start, end, top,
                        bottom, flag);
}
