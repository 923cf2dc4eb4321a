#include "TestDocument.h"

#include <cwchar>

#include "FakeVariables.h"
#include "calc/CalcVariablesImpl.h"
#include "calc/FormulaToRPN.h"

namespace CalcTest {
namespace {

struct TitledChannel {
    const wchar_t* title;
    int32_t channel;
    uint32_t word;
    KVDEnumDataType kind;
};

const TitledChannel kTitled[] = {
    {L"flow", 3, 0x80000010, 0xC0000000},
    {L"volume", 4, 0x00000020, 0x80000000},
    {L"spectrum", 5, 0, 0x02000000},
    {L"realvec", 6, 0, 0x01000000},
};

// The formula's own channel.
constexpr TChannelId kOwnChannel = {9, 0x40001000};

}  // namespace

HRESULT TestChannels::QueryInterface(const _IID& iid, void** out)
{
    if (iid == IID_IUnknown || iid == IID_IKVDChannelInfo) {
        *out = static_cast<IKVDChannelInfo*>(this);
        return KVD_S_OK;
    }
    *out = nullptr;
    return KVD_E_NOINTERFACE;
}

HRESULT TestChannels::FindChannel(int32_t, IAutoKVDString* name, TChannelId* id, KVDEnumDataType* kind, int32_t,
                                  TChannelId)
{
    const KVD::String title(name);
    for (const TitledChannel& channel : kTitled) {
        if (std::wcscmp(channel.title, title.c_str()) == 0) {
            *id = {channel.channel, channel.word};
            *kind = channel.kind;
            return KVD_S_OK;
        }
    }
    return KVD_S_FALSE;
}

HRESULT TestChannels::GetChannelDataType(int32_t, TChannelId channel, KVDEnumDataType* kind, int32_t, TChannelId)
{
    *kind = kEnumDataSamples;
    for (const TitledChannel& titled : kTitled)
        if (titled.channel == channel.channel)
            *kind = titled.kind;
    return KVD_S_OK;
}

IKVDChannelInfo* TheChannels()
{
    static TestChannels channels;
    return &channels;
}

IKVDCalcVariables* TheVariables()
{
    static CalcVariable::CalcVariablesImpl* variables = [] {
        CalcVariable::CalcVariablesImpl* made = CalcVariable::CalcVariablesImpl::Create();
        auto* gain = new FakeVariable(L"Gain", 2.5);
        made->InsertVariable(0, gain);
        gain->Release();
        return made;
    }();
    return variables;
}

void Compile(const std::wstring& formula, Compiled& result, bool bare)
{
    KVD::String message;
    result.code = CalcParser::formulaToRPN(KVD::String(formula), result.rpn, bare ? nullptr : TheChannels(),
                                           kOwnChannel, bare ? nullptr : TheVariables(), message,
                                           &result.position);
    result.message.assign(message.c_str(), message.length());
}

}  // namespace CalcTest
