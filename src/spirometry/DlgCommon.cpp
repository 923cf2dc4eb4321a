#include "spirometry/DlgCommon.h"

#include <cfloat>
#include <locale>

#include "IChannelCalc.h"
#include "IPersistObject.h"
#include "ISetCalcFromString.h"
#include "IUnitsConversion.h"
#include "foundation/COMPtr.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/OStringStream.h"
#include "foundation/units/EngDouble.h"
#include "spirometry/SpConfig.h"

namespace Spirometry {
namespace DlgCommon {

namespace {

// Records are walked with this one first: the units a channel has in most records.
constexpr int kTypicalRecord = -2;
// Request words of the record data.
constexpr uint32_t kAnyChannelKind = 0xC0000000u;
constexpr uint32_t kRawScaling = 0x80000001u;
constexpr uint32_t kScaling = 0xC0000000u;
constexpr uint32_t kScaledData = 0x1000u;
constexpr uint32_t kOneBlock = 1u;
constexpr uint32_t kAllBlocks = 0x40000000u;

KVD::COMPtr<IRecordData> RecordDataOf(IAutoOrrelDoc* document)
{
    KVD::COMPtr<IRecordData> records;
    if (document != nullptr)
        document->GetRecordData(0, records.Set());
    return records;
}

// Volts, with or without an SI prefix ("mV", "uV"), or no unit at all.
bool IsVolts(const KVD::String& unit)
{
    if (unit.length() == 1)
        return unit[0] == L'V';
    return unit.length() == 2 && EngUtils::engdouble::GetExponent(unit[0]) != 0 &&
           (unit[1] == L'V' || unit[1] == L'v');
}

}  // namespace

void getSourceChanAsString(KVD::String& text, TChannelId channel)
{
    KVD::OStringStream out;
    out.imbue(std::locale::classic());
    out << (channel.blockDataType == kRawChannelKind       ? L"RCh"
            : channel.blockDataType == kVirtualChannelKind ? L"VCh"
                                                           : L"Ch")
        << int64_t(channel.channel) + 1;
    text = out.str();
}

bool getChannelUnitsR(bool, TChannelId channel, int, KVD::String&, IOrrelData2*)
{
    return channel.channel != kUnsetChannel;
}

bool getChannelHasMultipleBaseUnits(TChannelId, IOrrelData2*)
{
    return false;
}

void getUnitsPrefixR(TChannelId, int, UnitPrefix& prefix, IOrrelData2*, const SpConfig* config)
{
    prefix = UnitPrefix(config != nullptr ? config->mFlowUnitPrefix : SpConfig::kNoPrefix);
}

bool getChannelColour(TColor& colour, int channel, IAutoOrrelDoc* document)
{
    uint32_t rgb = 0;
    if (document == nullptr || document->GetChannelColour(channel, &rgb) != KVD_S_OK)
        return false;
    auto widen = [](uint32_t component) { return uint16_t((component & 0xFF) * 65535u / 255u); };
    colour = TColor(widen(rgb), widen(rgb >> 8), widen(rgb >> 16), 1.0f);
    return true;
}

bool getChannelRangeR(IAutoOrrelDoc* document, long channel, int record, bool raw, bool displayUnits, double& low,
                      double& high)
{
    const KVD::COMPtr<IRecordData> records = RecordDataOf(document);
    if (records == nullptr)
        return false;
    const uint32_t flags = (raw ? kRawScaling : kScaling) + kScaledData + (displayUnits ? kScaledData : 0u);
    const TChannelId id{int32_t(channel), flags};
    double scale = 1.0, offset = 0.0;
    bool answered = records->GetDataScaling(record, id, &scale, &offset) == KVD_S_OK ||
                    records->GetDataScaling(kTypicalRecord, id, &scale, &offset) == KVD_S_OK;
    if (!answered) {
        scale = 1.0;
        offset = 0.0;
    }
    low = (offset - DBL_MAX) * scale;
    high = (offset + DBL_MAX) * scale;
    return answered;
}

bool setChannelCalculation(CAFId calculationClass, const KVD::String& expression, const KVD::String& units,
                           IOrrelData2* data, TChannelId channel)
{
    IObjectFactory* factory = ObjectFactoryAccessor::Get();
    const KVD::COMPtr<IOrrelSetCalcData> calcData = KVD::com_cast(data);
    if (factory == nullptr || calcData == nullptr)
        return false;
    KVD::COMPtr<IPersistObject> settings;
    factory->CreateObject(TypeIdClass<&GUID_ArithCalcId, 1>::GetId(), nullptr, IID_IPersistObject, settings.Set());
    const KVD::COMPtr<ISetCalcFromString> setter = KVD::com_cast(settings.get());
    if (setter == nullptr ||
        setter->SetFromString(expression.AsIAutoKVDString(), units.AsIAutoKVDString()) != KVD_S_OK)
        return false;
    KVD::COMPtr<ICalculationClass> cls;
    factory->GetClassObject(calculationClass, IID_ICalculationClass, cls.Set());
    if (cls == nullptr)
        return false;
    KVD::COMPtr<ICalculation> calculation;
    cls->Create(channel, calcData, calculation.Set());
    if (calculation == nullptr || calculation->Configure(settings, kAutoTrue) != KVD_S_OK)
        return false;
    return calcData->SetCalculation(channel, calculation) == KVD_S_OK;
}

std::vector<KVD::String> GetChannelNames(IAutoOrrelDoc* document, const IRecordData* records, int channel)
{
    int count = 0;
    if (document != nullptr)
        document->GetChannelCount(&count);
    if (count < channel + 1)
        count = channel + 1;
    std::vector<KVD::String> names;
    for (int i = 0; i < count; ++i) {
        KVD::String title;
        if (records != nullptr)
            records->GetChannelTitle(TChannelId{i, kAnyChannelKind}, KVD::String::Setter(title));
        names.push_back(title);
    }
    return names;
}

void CheckForUserUnits(IAutoOrrelDoc* document, int32_t a, int32_t b, bool& userUnits, bool& notVolts)
{
    userUnits = false;
    notVolts = false;
    const KVD::COMPtr<IRecordData> records = RecordDataOf(document);
    if (records == nullptr)
        return;
    const TChannelId id{b, a == b ? kOneBlock : kAllBlocks};
    int recordCount = 0;
    records->GetRecordCount(&recordCount);
    std::vector<int> blocks{kTypicalRecord};
    for (int record = recordCount - 1; record >= 0; --record)
        blocks.push_back(record);
    for (int record : blocks) {
        KVD::COMPtr<IUnitsConversion> units;
        records->GetUnitsConversion(record, id, units.Set());
        if (units == nullptr)
            continue;
        AutoBool user = kAutoFalse;
        if (units->IsUserDefined(&user) == KVD_S_OK && user != kAutoFalse)
            userUnits = true;
        KVD::COMPtr<IUnitName> unit;
        units->GetUnitName(unit.Set());
        KVD::String text;
        if (unit != nullptr)
            unit->GetName(kAutoTrue, KVD::String::Setter(text));
        if (text.empty())
            notVolts = false;
        else if (!IsVolts(text))
            notVolts = true;
    }
}

}  // namespace DlgCommon
}  // namespace Spirometry
