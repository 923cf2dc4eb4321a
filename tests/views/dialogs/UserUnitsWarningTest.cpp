// The flow dialog warns, without stopping, whenever it takes the controls while the source
// channel is shown in units the user set up.
#include <gtest/gtest.h>

#include "DialogDocument.h"
#include "IRecordData.h"
#include "IUnitsConversion.h"
#include "ReservedSlots.h"
#include "support/StubRecordData.h"
#include "appkit/Alert.h"
#include "appkit/UserDriver.h"
#include "spirometry/FlowHeads.h"
#include "spirometry/SpFlowSettings.h"
#include "spirometry/SpiroText.h"
#include "support/ComDoubles.h"
#include "views/dialogs/CalcDialogs.h"

using namespace Spirometry;
using AppKit::UserDriver;

namespace {

class UserUnits final : public TestSupport::StackObject<IUnitsConversion> {
public:
    HRESULT GetScaling(uint32_t, double*, double*) override { return KVD_E_NOTIMPL; }
    HRESULT ConvertValue(uint32_t, double, double*) override { return KVD_E_NOTIMPL; }
    HRESULT GetRange(uint32_t, double*, double*) override { return KVD_E_NOTIMPL; }
    HRESULT GetUnitName(IUnitName** unit) override { return *unit = nullptr, KVD_S_FALSE; }
    HRESULT GetUnitProperty(uint32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT IsUserDefined(AutoBool* user) override { return *user = kAutoTrue, KVD_S_OK; }
};

// One record whose every channel has the user's units.
class UserUnitsRecords final : public TestSupport::StubRecordData<TestSupport::StackObject<IRecordData>> {
public:
    HRESULT GetRecordCount(int* count) const override { return *count = 1, KVD_S_OK; }
    HRESULT GetUnitsConversion(int, TChannelId, IUnitsConversion** units) const override
    {
        mUnits.AddRef();
        *units = &mUnits;
        return KVD_S_OK;
    }

private:
    mutable UserUnits mUnits;
};

class UserUnitsDocument final : public TestSupport::StackObject<IAutoOrrelDoc> {
public:
    HRESULT GetDocument(IDocument**) override { return KVD_E_NOTIMPL; }
    KVD_RESERVED_SLOTS_NOTIMPL(4, 4)
    HRESULT GetChannelCount(int*) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelCountEx(int*, int, int) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelColour(int, uint32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT GetComputedChannelCount(int, int*) override { return KVD_E_NOTIMPL; }
    HRESULT GetTimeDisplayMode(int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT PositionToText(int32_t, uint32_t, int32_t, KVDPosition, uint32_t, int32_t, IAutoKVDString**) override
    {
        return KVD_E_NOTIMPL;
    }
    HRESULT GetSamplingState(int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT GetData(IOrrelData2**) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelDisplaySettings(int, IChannelDisplaySettings2**) override { return KVD_E_NOTIMPL; }
    KVD_RESERVED_SLOTS_NOTIMPL(14, 16)
    HRESULT GetSettingsRegistrar(IUnknown**) override { return KVD_E_NOTIMPL; }
    KVD_RESERVED_SLOTS_NOTIMPL(18, 49)
    HRESULT GetRecordData(int, IRecordData** records) override
    {
        mRecords.AddRef();
        *records = &mRecords;
        return KVD_S_OK;
    }
    KVD_RESERVED_SLOTS_NOTIMPL(51, 60)
    HRESULT GetSelection(int, IRecordDataSelection** selection) override
    {
        return *selection = nullptr, KVD_E_NOTIMPL;
    }

private:
    UserUnitsRecords mRecords;
};

TEST(UserUnitsWarning, EachUpdateWarnsAndTheChangeStillHolds)
{
    DialogTest::UseResourceLayouts();
    UserUnitsDocument document;
    SpFlowSettings settings;
    settings.mRawFlowChannel = 0;
    AppKit::AlertPresenter::Shared().ClearShown();
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Choose("headList", KVD::ToU8String(FlowHeads().GetName(1)));
        user.Click("driftCheck");
        user.Click("OK");
    });
    CalcDialogs dialogs;
    EXPECT_EQ(dialogs.ShowSpFlowCalcDialog(HWND{}, 1, &document, &settings, {L"Raw", L"Flow"}), kDialogAccepted);
    EXPECT_EQ(settings.mHeadIndex, 1);
    EXPECT_TRUE(settings.mDriftCorrection);
    // The head, the drift check and the confirmation.
    const std::vector<AppKit::Alert>& shown = AppKit::AlertPresenter::Shared().Shown();
    ASSERT_EQ(shown.size(), 3u);
    for (const AppKit::Alert& alert : shown) {
        EXPECT_EQ(alert.messageText, KVD::ToU8String(CachedText<SpirometryStr::IDS_UserUnitsInChannelCaption>()));
        EXPECT_EQ(alert.informativeText, KVD::ToU8String(CachedText<SpirometryStr::IDS_UserUnitsInChannelMessage>()));
        EXPECT_EQ(alert.style, AppKit::Alert::Style::Critical);
    }
}

}  // namespace
