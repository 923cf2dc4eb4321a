// Stand-ins for the host objects that table dispatch talks to, recording what they were told.
#pragma once

#include <utility>
#include <vector>

#include "ICAFCommandHandler.h"
#include "IMessage.h"
#include "IObserver.h"
#include "ResultCodes.h"
#include "foundation/KVDString.h"
#include "support/ComDoubles.h"

namespace FrameworkTest {

using TestSupport::StackObject;

class RecordingEnabler : public StackObject<ICAFCommandEnabler> {
public:
    HRESULT SetText(IAutoKVDString* text) override
    {
        mText = KVD::String(text).c_str();
        ++mCalls;
        return KVD_S_OK;
    }
    HRESULT Enable(AutoBool enabled) override
    {
        mEnabled = enabled;
        ++mCalls;
        return KVD_S_OK;
    }
    HRESULT SetCheck(AutoBool checked) override
    {
        mChecked = checked;
        ++mCalls;
        return KVD_S_OK;
    }
    HRESULT GetCommandId(TCAFId* id) override { *id = 0; return KVD_S_OK; }

    int mCalls = 0;
    AutoBool mEnabled = 0x1234;  // untouched
    AutoBool mChecked = 0x1234;
    std::wstring mText;
};

class RecordingSubject : public StackObject<ISubject> {
public:
    HRESULT NotifyObservers(TCAFId, void*) override { return KVD_S_OK; }
    HRESULT AttachObserver(IObserver*) override { return KVD_S_OK; }
    HRESULT DetachObserver(IObserver*) override { return KVD_S_OK; }
    HRESULT RegisterEvent(IObserver* observer, TCAFId event, uint32_t flags) override
    {
        mRegistered.push_back({observer, event});
        mFlags.push_back(flags);
        return KVD_S_OK;
    }

    std::vector<std::pair<IObserver*, TCAFId>> mRegistered;
    std::vector<uint32_t> mFlags;
};

// A message over a parameter block that the test packs itself.
class BlockMessage : public StackObject<IMessage> {
public:
    BlockMessage(TCAFId id, uint32_t flags, std::vector<uint8_t> block = {})
        : mId(id), mFlags(flags), mBlock(std::move(block))
    {
    }
    HRESULT GetId(TCAFId* id) const override { *id = mId; return KVD_S_OK; }
    HRESULT GetFlags(uint32_t* flags) const override { *flags = mFlags; return KVD_S_OK; }
    HRESULT GetParamBlock(const void** block) const override
    {
        *block = mBlock.empty() ? nullptr : mBlock.data();
        return KVD_S_OK;
    }
    HRESULT GetViewId(uint64_t* viewId) const override { *viewId = 0; return KVD_S_OK; }
    HRESULT GetKey(ISettingsRegistrarKey** key) const override { *key = nullptr; return KVD_S_FALSE; }
    HRESULT IsSender(const void* sender, AutoBool* isSender) const override
    {
        *isSender = sender == mSender ? kAutoTrue : kAutoFalse;
        return KVD_S_OK;
    }
    HRESULT GetSender(const void** sender) const override { *sender = mSender; return KVD_S_OK; }
    HRESULT SetSender(const void* sender) const override { mSender = sender; return KVD_S_OK; }

private:
    TCAFId mId;
    uint32_t mFlags;
    std::vector<uint8_t> mBlock;
    mutable const void* mSender = nullptr;
};

}  // namespace FrameworkTest
