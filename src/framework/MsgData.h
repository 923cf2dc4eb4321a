// The data of a message as a sender fills it in: the id, the base flags and the packed
// parameter block. The host's standard message factory copies it into a message.
#pragma once

#include <vector>

#include "framework/MsgParams.h"

typedef uint32_t MsgFlags;

class MsgData {
public:
    TCAFId GetMsgId() const { return mId; }
    MsgFlags GetFlags() const { return mFlags; }
    // The signature and the values.
    const void* GetParamBlock() const { return mBlock.data(); }
    uint32_t GetParamBlockSize() const { return static_cast<uint32_t>(mBlock.size()); }

protected:
    MsgData(TCAFId id, MsgFlags flags, uint32_t valueBytes) : mId(id), mFlags(flags), mBlock(4 + valueBytes) {}
    uint8_t* Block() { return mBlock.data(); }
    // String parameters point into these copies, which live as long as the data.
    void Keep(const KVD::String& text) { mStrings.push_back(text); }
    const KVD::String& Kept(size_t i) const { return mStrings[i]; }

private:
    TCAFId mId;
    MsgFlags mFlags;
    std::vector<uint8_t> mBlock;
    std::vector<KVD::String> mStrings;
};

// A message of the id that IdClass::GetId() gives, with parameters of the types P (MsgCAFId for
// a CAFId) and default flags; GetId is the id getter of the response-table entries that answer it.
template <class IdClass, MsgFlags DefaultFlags, class... P>
class MsgDataT : public MsgData {
public:
    typedef MsgParams<P...> Params;
    static constexpr MsgFlags kDefaultFlags = DefaultFlags;

    static TCAFId GetId() { return IdClass::GetId(); }

    explicit MsgDataT(const typename MsgParamTraits<P>::Arg&... values)
        : MsgData(IdClass::GetId(), DefaultFlags, Params::kValueBytes)
    {
        Params::Pack(Block(), Hold(values)...);
    }

private:
    template <class T>
    const T& Hold(const T& value)
    {
        return value;
    }
    const KVD::String& Hold(const KVD::String& text)
    {
        Keep(text);
        return text;
    }
};

template <class IdClass, MsgFlags F = 0>
using MsgData0 = MsgDataT<IdClass, F>;
template <class IdClass, MsgFlags F, class A>
using MsgData1 = MsgDataT<IdClass, F, A>;
template <class IdClass, MsgFlags F, class A, class B>
using MsgData2 = MsgDataT<IdClass, F, A, B>;
template <class IdClass, MsgFlags F, class A, class B, class C>
using MsgData3 = MsgDataT<IdClass, F, A, B, C>;
template <class IdClass, MsgFlags F, class A, class B, class C, class D>
using MsgData4 = MsgDataT<IdClass, F, A, B, C, D>;
template <class IdClass, MsgFlags F, class A, class B, class C, class D, class E>
using MsgData5 = MsgDataT<IdClass, F, A, B, C, D, E>;
template <class IdClass, MsgFlags F, class A, class B, class C, class D, class E, class G>
using MsgData6 = MsgDataT<IdClass, F, A, B, C, D, E, G>;
template <class IdClass, MsgFlags F, class A, class B, class C, class D, class E, class G, class H>
using MsgData7 = MsgDataT<IdClass, F, A, B, C, D, E, G, H>;
template <class IdClass, MsgFlags F, class A, class B, class C, class D, class E, class G, class H, class I>
using MsgData8 = MsgDataT<IdClass, F, A, B, C, D, E, G, H, I>;

// A fixed framework id.
template <TCAFId Id>
struct StaticMsgIdClass {
    static constexpr TCAFId GetId() { return Id; }
};
