#include "DialogDocument.h"

#include <cmath>

#include "IEnumFloatEx.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "spirometry/SpFlowSettings.h"
#include "spirometry/SpVolSettings.h"
#include "spirometry/SpiroIds.h"

namespace DialogTest {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kVoltsPerStep = 0.0001;

void RegisterClassObjects()
{
    static const bool registered = (CAFClassObject::RegisterAll(), true);
    (void)registered;
}

}  // namespace

TCAFId VolumeCalcTypeId()
{
    return (TCAFId(DynId::Ask(Spirometry::SpiroCalcGUID)) << 16) | Spirometry::kSpVolCalcSubId;
}

KVD::COMPtr<ICalculation> PutOn(Host::DataDocument& doc, TCAFId cls, int channel, const IPersistObject& settings)
{
    KVD::COMPtr<ICalculationClass> calcClass;
    ObjectFactoryAccessor::Get()->GetClassObject(cls, IID_ICalculationClass, calcClass.Set());
    KVD::COMPtr<ICalculation> calculation;
    calcClass->Create(TChannelId{channel, 0}, &doc.Data(), calculation.Set());
    calculation->Configure(&settings, kAutoTrue);
    doc.Data().SetCalculation(TChannelId{channel, 0}, calculation);
    return calculation;
}

std::shared_ptr<Host::Recording> Breathing(int breaths, double in, double out)
{
    auto rec = std::make_shared<Host::Recording>("breathing.csv", 100.0,
                                                 std::vector<Host::ChannelFormat>{{"Raw", "V", kVoltsPerStep, 0.0}});
    Host::RecordBlock block{uint32_t(breaths * 400 + 1), {{}}};
    for (int b = 0; b < breaths; ++b)
        for (double volume : {in, -out})
            for (int i = 0; i < 200; ++i)
                block.samples[0].push_back(rec->Channel(0).Raw(volume * kPi / 4.0 * std::sin(kPi * (i + 0.5) / 200)));
    block.samples[0].resize(block.ticks, 0);
    rec->AddRecord(std::move(block));
    return rec;
}

DialogDocument::DialogDocument(std::shared_ptr<Host::Recording> recording) : doc(std::move(recording))
{
    UseResourceLayouts();
    RegisterClassObjects();
    doc.AddChannel("Flow", "L/s");
    doc.AddChannel("Volume", "L");
    Spirometry::SpFlowSettings flowSettings;
    flowSettings.mRawFlowChannel = kRaw;
    flowSettings.SetFlowHead(5, 1.0);
    flow = PutOn(doc, Spirometry::SpFlowCalcTypeId(), kFlow, flowSettings);
    Spirometry::SpVolSettings volumeSettings;
    volumeSettings.mFlowChannel = kFlow;
    volume = PutOn(doc, VolumeCalcTypeId(), kVolume, volumeSettings);
}

std::vector<float> DialogDocument::Samples(int channel)
{
    KVD::COMPtr<IEnumFloatEx> stream;
    doc.Data().GetFloatStream(TChannelId{channel, 0xC0001000u}, KVDPosition{0, 0}, kRecordEndTick, stream.Set());
    std::vector<float> out(100000);
    uint32_t delivered = 0;
    if (stream != nullptr)
        stream->Next(uint32_t(out.size()), out.data(), &delivered);
    out.resize(delivered);
    return out;
}

KVD::COMPtr<ICalculationClass> DialogDocument::ClassOf(int channel)
{
    KVD::COMPtr<ICalculationClass> cls;
    (channel == kFlow ? flow : volume)->GetCalculationClass(cls.Set());
    return cls;
}

KVD::COMPtr<IPersistObject> DialogDocument::SettingsOf(int channel)
{
    KVD::COMPtr<IPersistObject> settings;
    (channel == kFlow ? flow : volume)->GetSettings(settings.Set());
    return settings;
}

HRESULT DialogDocument::EditThroughDialog(int channel)
{
    IPersistObject* result = nullptr;
    const HRESULT hr = ClassOf(channel)->SettingsDialog(HWND{}, nullptr, Auto(), nullptr, TChannelId{channel, 0},
                                                        SettingsOf(channel), &result);
    if (result == nullptr)
        return hr;
    KVD::COMPtr<IPersistObject> edited(result);
    result->Release();
    (channel == kFlow ? flow : volume)->Configure(edited, kAutoFalse);
    return hr;
}

}  // namespace DialogTest
