#include <gtest/gtest.h>

#include <string>

#include "IOrrelDocument.h"
#include "foundation/AvailableChannels.h"

namespace {

// A document that answers the three channel counts and notes how it was asked.
class CountingDoc : public IAutoOrrelDoc {
public:
    CountingDoc(int all, int withData, int computed, bool answers = true)
        : mAll(all), mWithData(withData), mComputed(computed), mAnswers(answers) {}

    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID&, void**) override { return KVD_E_NOINTERFACE; }
    HRESULT GetDocument(IDocument**) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelCount(int* count) override {
        mAsked += "5;";
        return Answer(count, mAll);
    }
    HRESULT GetChannelCountEx(int* count, int maxChannels, int kinds) override {
        mAsked += "6(" + std::to_string(maxChannels) + "," + std::to_string(kinds) + ");";
        return Answer(count, mWithData);
    }
    HRESULT GetComputedChannelCount(int flags, int* count) override {
        mAsked += "8(" + std::to_string(flags) + ");";
        return Answer(count, mComputed);
    }
    HRESULT GetData(IOrrelData2**) override { return KVD_E_NOTIMPL; }
    HRESULT GetSettingsRegistrar(IUnknown**) override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordData(int, IRecordData**) override { return KVD_E_NOTIMPL; }
    HRESULT GetSelection(int, IRecordDataSelection**) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelColour(int, uint32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT GetTimeDisplayMode(int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT PositionToText(int32_t, uint32_t, int32_t, KVDPosition, uint32_t, int32_t, IAutoKVDString**) override { return KVD_E_NOTIMPL; }
    HRESULT GetSamplingState(int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelDisplaySettings(int, IChannelDisplaySettings2**) override { return KVD_E_NOTIMPL; }
    KVD_RESERVED_SLOTS_NOTIMPL(4, 4)
    KVD_RESERVED_SLOTS_NOTIMPL(14, 16)
    KVD_RESERVED_SLOTS_NOTIMPL(18, 49)
    KVD_RESERVED_SLOTS_NOTIMPL(51, 60)

    const std::string& Asked() const { return mAsked; }

private:
    HRESULT Answer(int* count, int value) {
        if (!mAnswers)
            return KVD_E_NOTIMPL;
        *count = value;
        return KVD_S_OK;
    }

    int mAll, mWithData, mComputed;
    bool mAnswers;
    std::string mAsked;
};

}  // namespace

TEST(AvailableChannels, LargestOfTheDocumentsCounts) {
    EXPECT_EQ(ExtLib::GetNumAvailableChans(nullptr), 16);

    CountingDoc doc(20, 4, 7);
    EXPECT_EQ(ExtLib::GetNumAvailableChans(&doc), 20);
    EXPECT_EQ(doc.Asked(), "6(16,16);5;8(0);");
    CountingDoc computedMost(2, 4, 40);
    EXPECT_EQ(ExtLib::GetNumAvailableChans(&computedMost), 40);
    // Counts below 16 win over nothing: a count written replaces its preset.
    CountingDoc small(2, 4, 3);
    EXPECT_EQ(ExtLib::GetNumAvailableChans(&small), 4);
    // A document that answers nothing leaves the presets.
    CountingDoc silent(100, 100, 100, false);
    EXPECT_EQ(ExtLib::GetNumAvailableChans(&silent), 16);
}
