#include "spirometry/SpiroDocument.h"

#include <algorithm>

#include "IChannelCalc.h"
#include "IMessage.h"
#include "ISetChanCalcMsg.h"
#include "IUnitName.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/StringKeys.h"
#include "framework/SRKey.h"
#include "spirometry/CalibrateBase.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/FlowHeads.h"
#include "spirometry/SpFlowSettings.h"
#include "spirometry/SpVolSettings.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/SpiroText.h"

namespace Spirometry {
namespace {

constexpr uint64_t kCalculationKey = 0xC000000000000000ull;
constexpr uint32_t kChannelObjectQuery = 0x40001000;
constexpr uint32_t kDataPresentQuery = 0x40000000;
constexpr uint32_t kTitleQuery = 0xC0000000;

TCAFId FlowCalcTypeId() { return TypeIdClass<&SpiroCalcGUID, kSpFlowCalcSubId>::GetId(); }
TCAFId VolCalcTypeId() { return TypeIdClass<&SpiroCalcGUID, kSpVolCalcSubId>::GetId(); }
TCAFId TidalVolCalcTypeId() { return TypeIdClass<&SpiroCalcGUID, kSpTidalVolCalcSubId>::GetId(); }

bool EqualsOneOf(const KVD::String& text, std::initializer_list<const wchar_t*> candidates)
{
    return std::any_of(candidates.begin(), candidates.end(),
                       [&text](const wchar_t* c) { return text.CaseInsensitiveCompare(KVD::String(c), true) == 0; });
}

// L/s, mL/s or µL/s, also written .../sec.
bool IsFlowUnit(const KVD::String& unit)
{
    return EqualsOneOf(unit, {L"L/s", L"L/sec", L"mL/s", L"mL/sec", L"\u00B5L/s", L"\u00B5L/sec"});
}

bool IsVolumeUnit(const KVD::String& unit)
{
    return EqualsOneOf(unit, {L"L", L"mL"});
}

bool SamePosition(KVDPosition a, KVDPosition b)
{
    return a.tick == b.tick && a.record == b.record;
}

// The calculation on a channel: its class's type id (0 when there is none) and a copy of its
// settings.
struct ChannelCalculation {
    TCAFId type = 0;
    KVD::COMPtr<IPersistObject> settings;
};

ChannelCalculation CalculationOf(IOrrelData2* data, int channel)
{
    ChannelCalculation found;
    KVD::COMPtr<IOrrelSetCalcData> calcData(KVD::com_cast(data));
    KVD::COMPtr<ICalculation> calculation;
    if (calcData != nullptr)
        calcData->GetCalculation(kCalculationKey | uint32_t(channel), calculation.Set());
    KVD::COMPtr<ICalculationClass> cls;
    if (calculation != nullptr) {
        calculation->GetCalculationClass(cls.Set());
        calculation->GetSettings(found.settings.Set());
    }
    if (cls != nullptr)
        cls->GetTypeId(&found.type);
    return found;
}

template <class Settings>
Settings* SettingsOf(IPersistObject* object, TCAFId expectedType)
{
    TCAFId type = 0;
    if (object == nullptr || object->GetObjId(&type) != KVD_S_OK || type != expectedType)
        return nullptr;
    return static_cast<Settings*>(object);  // made by this plug-in's settings class
}

}  // namespace

SpiroDocument::SpiroDocument(IDocManager* manager, IDocumentSite* site, ICustomDocClass* cls, unsigned int flags)
    : OrrelChildDocument(manager, site, cls, flags),
      mSettings(new Settings),
      mMachine(std::make_unique<SpiroMachine>(*this, *mSettings))
{
}

SpiroDocument::~SpiroDocument()
{
    mMachine.reset();
    mSettings->Release();
}

HRESULT SpiroDocument::OnSelectionChanged()
{
    FindStartEnd();
    FindChannels();
    mMultiRecordValid = DetermineValidSelection(true, &mMultiRecordReason);
    mSingleRecordValid = DetermineValidSelection(false, &mSingleRecordReason);
    mChanged = true;
    FigureSpiroFactsAndFigures(false, false);
    UpdateSpChannelSettings(Config().mSpFlowCalcChan, false);
    return UpdateSpChannelSettings(Config().mSpVolCalcChan, false);
}

void SpiroDocument::FindStartEnd()
{
    mSelStart = KVDPosition{0, 0};
    mSelEnd = KVDPosition{0, 0};
    IRecordDataSelection* selection = GetSelection();
    if (selection == nullptr)
        return;
    AutoBool exists = kAutoFalse;
    if (selection->HasSelection(&exists) != KVD_S_OK || exists == kAutoFalse)
        return;
    KVDPosition start{0, 0};
    KVDPosition end{0, 0};
    if (selection->GetRange(&start, &end) == KVD_S_OK) {
        mSelStart = start;
        mSelEnd = end;
    }
}

void SpiroDocument::FindChannels()
{
    mFlowCalcChannels.clear();
    mVolCalcChannels.clear();
    const TCAFId flowType = FlowCalcTypeId();
    const TCAFId volumeType = VolCalcTypeId();
    const TCAFId tidalType = TidalVolCalcTypeId();

    int count = 16;
    if (IAutoOrrelDoc* host = GetAutoDocument()) {
        count = 0;
        host->GetChannelCount(&count);
    }
    IRecordData* records = GetRecordData();
    for (int c = 0; c < count; ++c) {
        const TCAFId calcType = CalculationOf(GetData(), c).type;
        if (calcType == flowType) {
            mFlowCalcChannels.push_back(c);
            continue;
        }
        if (calcType == volumeType) {
            mVolCalcChannels.push_back(c);
            continue;
        }
        KVD::COMPtr<IRecordChannel> channel;
        if (records != nullptr)
            records->GetChannelObject(mSelStart.record, TChannelId{c, kChannelObjectQuery}, channel.Set());
        KVD::COMPtr<IUnitName> unit;
        if (channel != nullptr)
            channel->GetUnitName(kChannelObjectQuery, unit.Set());
        KVD::String name;
        if (unit == nullptr || unit->GetName(kAutoTrue, KVD::String::Setter(name)) != KVD_S_OK)
            continue;
        if (IsFlowUnit(name))
            mFlowCalcChannels.push_back(c);
        else if (IsVolumeUnit(name) && calcType != tidalType)
            mVolCalcChannels.push_back(c);
    }

    // A stored channel that is no candidate any more gives way to the first candidate.
    auto keepOrReplace = [this](int32_t& stored, const std::vector<int>& candidates) {
        if (std::find(candidates.begin(), candidates.end(), stored) != candidates.end())
            return;
        if (candidates.empty()) {
            stored = DlgCommon::kUnsetChannel;
            return;
        }
        stored = candidates.front();
        CreatePersistSettings();
        mSettings->mDirty = true;
    };
    keepOrReplace(mSettings->mSpFlowCalcChan, mFlowCalcChannels);
    keepOrReplace(mSettings->mSpVolCalcChan, mVolCalcChannels);
}

bool SpiroDocument::DetermineValidSelection(bool multiRecord, KVD::String* reason)
{
    if (reason != nullptr)
        *reason = L"";
    auto fail = [reason](const KVD::String& text) {
        if (reason != nullptr)
            *reason = text;
        return false;
    };
    using namespace SpirometryStr;
    if (mFlowCalcChannels.empty())
        return fail(CachedText<IDS_SELECTION_ERROR_REASON_1>());
    if (mVolCalcChannels.empty())
        return fail(CachedText<IDS_SELECTION_ERROR_REASON_2>());

    IRecordData* records = GetRecordData();
    auto ticksOf = [records](int record) {
        uint32_t ticks = 0;
        if (records != nullptr)
            records->GetRecordTicks(record, &ticks);
        return ticks;
    };
    const bool startOutside = mSelStart.tick != kNoPositionTick && mSelStart.tick >= ticksOf(mSelStart.record);
    const bool endOutside = mSelEnd.tick != kNoPositionTick && std::max(mSelEnd.tick, 1u) > ticksOf(mSelEnd.record);
    if (startOutside || endOutside)
        return fail(CachedText<IDS_SELECTION_ERROR_REASON_3>());
    if (mSelStart.record != mSelEnd.record && !multiRecord)
        return fail(CachedText<IDS_SELECTION_ERROR_REASON_4>());

    auto hasData = [records, this](int32_t channel) {
        AutoBool has = kAutoFalse;
        if (records != nullptr)
            records->HasChannelData(mSelStart.record, TChannelId{channel, kDataPresentQuery}, &has);
        return has != kAutoFalse;
    };
    if (!hasData(Config().mSpVolCalcChan))
        return fail(CachedText<IDS_SELECTION_ERROR_REASON_6>());
    if (!hasData(Config().mSpFlowCalcChan))
        return fail(CachedText<IDS_SELECTION_ERROR_REASON_7>());
    if (SamePosition(mSelStart, mSelEnd))
        return fail(CachedText<IDS_SELECTION_ERROR_REASON_8>());

    if (mSelStart.record != mSelEnd.record && records != nullptr) {
        const TChannelId flow{Config().mSpFlowCalcChan, kChannelObjectQuery};
        KVD::COMPtr<IRecordChannel> first;
        records->GetChannelObject(mSelStart.record, flow, first.Set());
        for (int32_t r = mSelStart.record + 1; r <= mSelEnd.record; ++r) {
            KVD::COMPtr<IRecordChannel> other;
            records->GetChannelObject(r, flow, other.Set());
            if (other != first)
                return fail(CachedText<IDS_SELECTION_ERROR_REASON_9>());
        }
    }
    return true;
}

HRESULT SpiroDocument::UpdateSpChannelSettings(int channel, bool push)
{
    if (!push) {
        mWarmDeadSpaceAir = kDefaultDeadSpace;
        mCalcVolRatio = 1.0;
    }
    const ChannelCalculation calculation = CalculationOf(GetData(), channel);
    const TCAFId type = calculation.type;
    IPersistObject* current = calculation.settings;

    if (type == FlowCalcTypeId()) {
        SpFlowSettings* settings = SettingsOf<SpFlowSettings>(current, SpFlowSettingsTypeId());
        if (settings == nullptr)
            return KVD_E_BADSTATE;
        settings->mClamp = Config().mFlowNoiseClamp;
        settings->mUnitPrefix = Config().mFlowUnitPrefix;
        if (push) {
            settings->mDriftCorrection = mDriftCorrection;
            settings->mHeadIndex = mFlowHead;
            settings->mHeadScale = mCustomConst;
            settings->mRawFlowChannel = mRawFlowChannel;
            settings->mCustomHead = mUsingCustom;
            // The settings record's rule: compensation belongs to the non-linear head alone.
            settings->mNonLinearCompensation =
                mApplyNLC && !mUsingCustom && mFlowHead == FlowHeads::kNonLinearHead;
            return updateChannelSettingsInRegistrar(settings, channel, type);
        }
        mDriftCorrection = settings->mDriftCorrection;
        mFlowHead = settings->mHeadIndex;
        mCustomConst = settings->mHeadScale;
        mRawFlowChannel = static_cast<int>(settings->mRawFlowChannel);
        mApplyNLC = settings->mNonLinearCompensation;
        mUsingCustom = settings->mCustomHead;
        return KVD_S_OK;
    }
    if (type == VolCalcTypeId()) {
        SpVolSettings* settings = SettingsOf<SpVolSettings>(current, SpVolSettingsTypeId());
        if (settings == nullptr)
            return KVD_E_BADSTATE;
        settings->mUnitPrefix = Config().mFlowUnitPrefix;
        if (push) {
            settings->mApplyCorrection = mUseVolCorr;
            settings->mResetVolume = mVolumeReset;
            settings->mDeadSpace = settings->mDeadSpaceAsRead = mWarmDeadSpaceAir;
            settings->mVolumeRatio = settings->mVolumeRatioAsRead = mVolRatio;
            settings->mCorrectionMethod = mVolCorrectionMethod;
            settings->mFlowChannel = mSpFlowChannel;
            return updateChannelSettingsInRegistrar(settings, channel, type);
        }
        mUseVolCorr = settings->mApplyCorrection;
        mVolumeReset = settings->mResetVolume;
        mWarmDeadSpaceAir = settings->mDeadSpace;
        mVolRatio = settings->mVolumeRatio;
        mVolCorrectionMethod = settings->mCorrectionMethod;
        mSpFlowChannel = static_cast<int>(settings->mFlowChannel);
        CalibrateBase calibration(GetAutoDocument(), GetRecordData());
        calibration.SetCalcFlowChannel(Config().mSpFlowCalcChan);
        calibration.SetRawFlowChannel(Config().mSpFlowCalcChan);
        calibration.SetVolumeTargetChannel(Config().mSpVolCalcChan);
        mCalcVolRatio = calibration.CalcVolumeCorrectionFactor(static_cast<VolumeCorrectionMethod>(mVolCorrectionMethod),
                                                               mWarmDeadSpaceAir);
        return KVD_S_OK;
    }
    return KVD_E_BADSTATE;
}

void SpiroDocument::updateChannelSettingsForMessage(int channel)
{
    const ChannelCalculation calculation = CalculationOf(GetData(), channel);
    const TCAFId type = calculation.type;
    IPersistObject* current = calculation.settings;
    if (type == FlowCalcTypeId()) {
        if (SpFlowSettings* settings = SettingsOf<SpFlowSettings>(current, SpFlowSettingsTypeId())) {
            settings->mClamp = Config().mFlowNoiseClamp;
            settings->mUnitPrefix = Config().mFlowUnitPrefix;
            updateChannelSettingsInRegistrar(settings, channel, type);
        }
    } else if (type == VolCalcTypeId()) {
        if (SpVolSettings* settings = SettingsOf<SpVolSettings>(current, SpVolSettingsTypeId())) {
            settings->mUnitPrefix = Config().mFlowUnitPrefix;
            updateChannelSettingsInRegistrar(settings, channel, type);
        }
    }
}

HRESULT SpiroDocument::updateChannelSettingsInRegistrar(IPersistObject* settings, int channel, TCAFId calcTypeId)
{
    const TCAFId messageType = TypeIdClass<&GUID_OrrelMsgObjs, kOrrelMsgObj_SetChanCalc>::GetId();
    KVD::COMPtr<ISetChanCalcMsg> message;
    if (IObjectFactory* factory = ObjectFactoryAccessor::Get())
        factory->CreateObject(messageType, nullptr, IID_ISetChanCalcMsg, message.Set());
    if (message == nullptr)
        return KVD_E_BADSTATE;
    message->SetChannelCalculation(calcTypeId, channel, settings);

    if (ISettingsRegistrar* registrar = GetSettingsRegistrar()) {
        const SRKey messageKey(messageType, static_cast<unsigned>(channel), &SRCAT_ChannelCalcSettingsMsg);
        const SRKey settingsKey(calcTypeId, static_cast<unsigned>(channel), nullptr);
        KVD::COMPtr<IPersistObject> storedMessage(KVD::com_cast(message.get()));
        if (messageKey.GetKey() != nullptr && storedMessage != nullptr)
            registrar->SetObject(messageKey.GetKey(), storedMessage);
        if (settingsKey.GetKey() != nullptr)
            registrar->SetObject(settingsKey.GetKey(), settings);
    }
    KVD::COMPtr<IMessage> asMessage(KVD::com_cast(message.get()));
    return SendMsg(GetDestination(), asMessage);
}

HRESULT SpiroDocument::GetPersistDocPart(PSDPDocumentPart part, unsigned long index, uint32_t* flags,
                                         IUnknown** persist)
{
    if (flags != nullptr)
        *flags = 0;
    if (persist == nullptr)
        return KVD_E_POINTER;
    *persist = nullptr;
    if (part != 0 || index != 2)
        return KVD_S_FALSE;
    return mSettings->QueryInterface(IID_IPersist, reinterpret_cast<void**>(persist));
}

void SpiroDocument::CreatePersistSettings()
{
    if (mSettings->mRegistered)
        return;
    IDocument* inner = GetInnerDocument();
    KVD::COMPtr<IDocumentSite> site;
    if (inner != nullptr)
        inner->GetSite(site.Set());
    if (site == nullptr)
        return;
    KVD::COMPtr<IPersist> persist(KVD::com_cast(static_cast<IPersistStreamInit*>(mSettings)));
    KVD::String name;
    if (site->RegisterPersistPart(inner, 0, persist, 0, 0, KVD::String::Setter(name)) == KVD_S_OK)
        mSettings->mRegistered = true;
}

double SpiroDocument::GetCustomConstant() const
{
    const FlowHeads heads;
    return mUsingCustom || !heads.IsRow(mFlowHead) ? mCustomConst : heads.GetScale(unsigned(mFlowHead));
}

std::vector<ChannelAssoc> SpiroDocument::ChannelSet(const std::vector<int>& channels) const
{
    std::vector<ChannelAssoc> set;
    IRecordData* records = GetRecordData();
    for (int channel : channels) {
        KVD::String title;
        if (records != nullptr)
            records->GetChannelTitle(TChannelId{channel, kTitleQuery}, KVD::String::Setter(title));
        set.push_back(ChannelAssoc{title, channel});
    }
    if (set.empty())
        set.push_back(ChannelAssoc{CachedText<SpirometryStr::IDS_NONE_FOUND>(), DlgCommon::kUnsetChannel});
    return set;
}

namespace DlgCommon {

std::vector<ChannelAssoc> GetFlowChannelSet(const SpiroDocument* document)
{
    return document->ChannelSet(document->FlowChannels());
}

std::vector<ChannelAssoc> GetVolumeChannelSet(const SpiroDocument* document)
{
    return document->ChannelSet(document->VolumeChannels());
}

}  // namespace DlgCommon

}  // namespace Spirometry
