// What the dialog tests share: a host data document over a recording of a raw flow-head
// signal with the flow and volume calculations on channels of their own, the dialogs'
// layouts from the resources, and the settings records as their stored bytes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "IChannelCalc.h"
#include "support/Pictures.h"
#include "appkit/KVDModalDialogController.h"
#include "foundation/CAFClassObject.h"
#include "foundation/COMPtr.h"
#include "host/document/DataDocument.h"
#include "spirometry/RecordBytes.h"

namespace DialogTest {

// The dialogs' layouts as the bundle holds them.
inline void UseResourceLayouts()
{
    static const bool added =
        (KVDModalDialogController::AddLayoutFolder(SPIRO_TEST_DATA_DIR "/../../resources/layouts"), true);
    (void)added;
}

// One raw channel in volts at 100 Hz: `breaths` breaths of 2 s inspiring `in` and 2 s
// expiring `out` volt-seconds, and one sample more.
std::shared_ptr<Host::Recording> Breathing(int breaths, double in, double out);

// The spirometry volume calculation's type.
TCAFId VolumeCalcTypeId();
// A calculation of the class made on the channel and configured with the settings.
KVD::COMPtr<ICalculation> PutOn(Host::DataDocument& doc, TCAFId cls, int channel, const IPersistObject& settings);

// Channel 0 the raw signal, 1 its flow (custom head, gain 1), 2 the flow's volume.
class DialogDocument {
public:
    static constexpr int kRaw = 0;
    static constexpr int kFlow = 1;
    static constexpr int kVolume = 2;

    explicit DialogDocument(std::shared_ptr<Host::Recording> recording);
    ~DialogDocument() { doc.Close(); }

    IAutoOrrelDoc* Auto() { return doc.AutoDocument(); }
    // The samples of a channel over the first record.
    std::vector<float> Samples(int channel);
    void SelectTicks(uint32_t from, uint32_t to) { doc.Select(KVDPosition{from, 0}, KVDPosition{to, 0}); }
    // The calculation class of a computed channel; its settings as the host holds them.
    KVD::COMPtr<ICalculationClass> ClassOf(int channel);
    KVD::COMPtr<IPersistObject> SettingsOf(int channel);
    // The host's road: the calculation's settings dialog on the channel, and what it answered
    // applied to the calculation. KVD_S_FALSE when the user cancelled.
    HRESULT EditThroughDialog(int channel);
    // The channel names the calculation dialogs get from the host.
    std::vector<KVD::String> Names() const { return {L"Raw", L"Flow", L"Volume"}; }

    Host::DataDocument doc;
    KVD::COMPtr<ICalculation> flow;
    KVD::COMPtr<ICalculation> volume;
};

// A calculation's record bytes.
inline SpiroTest::ByteVector Stored(const IPersistObject& record)
{
    return SpiroTest::WriteRecord(record);
}

// Where a test's picture of a dialog goes.
inline std::string PicturePath(const std::string& name)
{
    return TestSupport::PicturePath(name + ".png");
}

}  // namespace DialogTest
