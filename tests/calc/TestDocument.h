// What the formulas of the tests compile against: a document whose channels have titles and
// data kinds, and a set of host variables.
//   channel (0-based)  title       data word    kind
//   3                  "flow"      0x80000010   0xC0000000 (still open)
//   4                  "volume"    0x00000020   0x80000000
//   5                  "spectrum"  0x00000000   0x02000000 (complex vectors)
//   6                  "realvec"   0x00000000   0x01000000 (real vectors)
//   any other          -           -            0x80000000
// The host variable "Gain" holds 2.5.
#pragma once

#include <string>

#include "IKVDCalcVariables.h"
#include "IKVDChannelInfo.h"
#include "calc/Symbol.h"

namespace CalcTest {

class TestChannels : public IKVDChannelInfo {
public:
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID& iid, void** out) override;
    HRESULT FindChannel(int32_t selector, IAutoKVDString* name, TChannelId* id, KVDEnumDataType* kind,
                        int32_t reserved, TChannelId own) override;
    HRESULT GetChannelDataType(int32_t selector, TChannelId channel, KVDEnumDataType* kind, int32_t reserved,
                               TChannelId own) override;
};

// The document's channel information and host variables, made once.
IKVDChannelInfo* TheChannels();
IKVDCalcVariables* TheVariables();

struct Compiled {
    HRESULT code = 0;
    std::wstring message;
    long position = -1;  // stays -1 when no position is reported
    CalcParser::RPNArray rpn;
};

// Compiles against the test document (or against nothing when bare).
void Compile(const std::wstring& formula, Compiled& result, bool bare = false);

}  // namespace CalcTest
