// A view built on ViewBase answers no interface of its own: it is reached through its doc view.
// A view that offers one overrides QueryInterface, and a call through the base reaches it.
#include <gtest/gtest.h>

#include "IDocView.h"
#include "IUnknown.h"
#include "ResultCodes.h"
#include "framework/ViewBase.h"

namespace {

constexpr HRESULT kNoInterface = static_cast<HRESULT>(0xF800400D);
// An id no interface of the system has.
constexpr _IID kUnknownId = {0x12345678, 0x9ABC, 0xDEF0, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};

class BareView : public ViewBase {
public:
    BareView() : ViewBase(nullptr, nullptr, nullptr, nullptr, L"", nullptr) {}
    KVD::String Edit_CopyToClipboardMenuText() const override { return L""; }
    KVD::String File_PrintMenuText() const override { return L""; }
};

// Answers IUnknown with itself.
class AnsweringView : public BareView {
public:
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        if (iid != IID_IUnknown)
            return ViewBase::QueryInterface(iid, out);
        *out = this;
        return KVD_S_OK;
    }
};

TEST(ViewBaseInterface, AnswersNoInterfaceWhateverTheId)
{
    BareView view;
    ViewBase& base = view;
    for (const _IID* iid : {&IID_IUnknown, &IID_IDocView, &kUnknownId}) {
        void* out = &view;
        EXPECT_EQ(base.QueryInterface(*iid, &out), kNoInterface);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(base.QueryInterface(IID_IUnknown, nullptr), kNoInterface);
}

TEST(ViewBaseInterface, OverrideOfAViewIsWhatTheBaseAnswers)
{
    AnsweringView view;
    ViewBase& base = view;
    void* out = nullptr;
    EXPECT_EQ(base.QueryInterface(IID_IUnknown, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<void*>(&view));
    out = &view;
    EXPECT_EQ(base.QueryInterface(IID_IDocView, &out), kNoInterface);
    EXPECT_EQ(out, nullptr);
}

}  // namespace
