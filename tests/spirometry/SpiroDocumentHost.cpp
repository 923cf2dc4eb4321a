#include "SpiroDocumentHost.h"

#include "FrameworkIds.h"
#include "HostDoubles.h"
#include "foundation/ClassObjectAccessor.h"
#include "framework/CAFDocumentClass.h"
#include "framework/MsgData.h"
#include "spirometry/SpiroIds.h"

namespace SpiroTest {
namespace {

using Spirometry::SpiroDocument;

// The document class as the plug-in registers it: one for the process, kept by the host.
ICustomDocClass* DocumentClass()
{
    static CAFDocumentClass<SpiroDocument> cls(L"SpiroDocument", Spirometry::SpiroDocumentGUID,
                                               &CATID_OrrelChildDocClass, Spirometry::SpiroDocumentTypeId(), 1, false);
    static const bool registered = ObjectFactoryAccessor::Get()->RegisterClassObject(
                                       static_cast<ICustomDocClass*>(&cls)) == KVD_S_OK;
    EXPECT_TRUE(registered);
    return &cls;
}

void PutOn(Host::DataDocument& data, TCAFId cls, int channel, IPersistObject* settings)
{
    RegisterClassObjects();
    KVD::COMPtr<ICalculationClass> calcClass;
    ObjectFactoryAccessor::Get()->GetClassObject(cls, IID_ICalculationClass, calcClass.Set());
    ASSERT_NE(calcClass, nullptr);
    KVD::COMPtr<ICalculation> calculation;
    ASSERT_EQ(calcClass->Create(TChannelId{channel, 0}, &data.Data(), calculation.Set()), KVD_S_OK);
    ASSERT_EQ(calculation->Configure(settings, kAutoTrue), KVD_S_OK);
    ASSERT_EQ(data.Data().SetCalculation(TChannelId{channel, 0}, calculation), KVD_S_OK);
}

}  // namespace

Host::SyntheticOptions SmallBreathingOptions()
{
    Host::SyntheticOptions options;
    options.rate = 100;
    options.quietBreathsPerRun = 2;
    options.forcedBreaths = 1;
    options.noise = 0.0;
    options.drift = 0.0;
    return options;
}

std::shared_ptr<Host::Recording> SmallBreathing()
{
    return std::make_shared<Host::Recording>(
        Host::SyntheticBreathing(SmallBreathingOptions()).MakeRecording("small.edf"));
}

std::shared_ptr<Host::Recording> FlowHeadRecording(const TestSupport::FlowScript& script, double rate)
{
    auto recording = std::make_shared<Host::Recording>(
        "drawn.csv", rate, std::vector<Host::ChannelFormat>{{"Flow head", "V", 0.0002, 0.0}});
    const std::vector<float> flow = script.Flow(rate);
    Host::RecordBlock block;
    block.ticks = uint32_t(flow.size());
    block.samples.resize(1);
    for (float f : flow)
        block.samples[0].push_back(recording->Channel(0).Raw(f / 2.0));
    recording->AddRecord(std::move(block));
    return recording;
}

void SpiroDocumentHost::TearDown()
{
    if (mData != nullptr)
        mData->Close();
    mChild.Clear();
    mData.reset();
}

void SpiroDocumentHost::Open(std::shared_ptr<const Host::Recording> recording)
{
    mData = std::make_unique<Host::DataDocument>(std::move(recording));
}

void SpiroDocumentHost::AddCalculations()
{
    mFlow = mData->AddChannel("Flow", "L/s");
    mVolume = mData->AddChannel("Volume", "L");
    KVD::COMPtr<Spirometry::SpFlowSettings> flow(new Spirometry::SpFlowSettings);
    flow->mRawFlowChannel = 0;
    flow->SetFlowHead(5, 2.0);
    PutOn(*mData, Spirometry::SpFlowCalcTypeId(), mFlow, flow);
    KVD::COMPtr<Spirometry::SpVolSettings> volume(new Spirometry::SpVolSettings);
    volume->mFlowChannel = mFlow;
    PutOn(*mData, TypeIdClass<&Spirometry::SpiroCalcGUID, Spirometry::kSpVolCalcSubId>::GetId(), mVolume, volume);
}

void SpiroDocumentHost::FilterRecordData(IRecordData* filter)
{
    mData->Document().SetRecordData(filter);
}

SpiroDocument& SpiroDocumentHost::CreateDocument()
{
    EXPECT_EQ(mData->CreateChildDocument(DocumentClass(), 0, nullptr, mChild.Set()), KVD_S_OK);
    KVD::COMPtr<Spirometry::ISpiroDocument> spiro(KVD::com_cast(mChild.get()));
    mDoc = dynamic_cast<SpiroDocument*>(spiro.get());
    return *mDoc;
}

SpiroDocument& SpiroDocumentHost::CreateAnalysedDocument(std::shared_ptr<const Host::Recording> recording)
{
    Open(recording != nullptr ? std::move(recording) : SmallBreathing());
    AddCalculations();
    SpiroDocument& doc = CreateDocument();
    doc.SetSpFlowCalcChan(mFlow);
    doc.SetSpVolCalcChan(mVolume);
    SelectRecord(0);
    return doc;
}

void SpiroDocumentHost::SelectRecord(int record)
{
    uint32_t ticks = 0;
    mData->Data().GetRecordTicks(record, &ticks);
    Select(KVDPosition{0, record}, KVDPosition{ticks, record});
}

void SpiroDocumentHost::SetFlowUnitPrefix(int prefix)
{
    typedef MsgData8<MsgIdClass<&Spirometry::SpiroDocumentGUID, 2>, 0, double, double, bool, int, int, int, double,
                     bool>
        SettingsChangeMsg;
    const Spirometry::SpConfig c = mDoc->Config();
    mDoc->SendMsg(mDoc->GetDestination(),
                  SettingsChangeMsg(c.mForcedExpirationThreshold, c.mCycleDetectionFactor, c.mNonForcedInReport,
                                    c.mSpFlowCalcChan, c.mSpVolCalcChan, prefix, c.mFlowNoiseClamp.level,
                                    c.mFlowNoiseClamp.enabled),
                  0);
}

KVD::COMPtr<IPersistObject> SpiroDocumentHost::CalculationSettings(int channel)
{
    KVD::COMPtr<ICalculation> calculation;
    mData->Data().GetCalculation(0xC000000000000000ull | uint32_t(channel), calculation.Set());
    KVD::COMPtr<IPersistObject> settings;
    if (calculation != nullptr)
        calculation->GetSettings(settings.Set());
    return settings;
}

}  // namespace SpiroTest
