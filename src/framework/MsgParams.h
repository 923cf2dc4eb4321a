// Parameters of framework messages: how each parameter type is packed into a message's
// parameter block and read back for the handler. A block is a u32 signature (4 bits per
// parameter, the first in the low nibble) followed by the values back to back, unaligned.
#pragma once

#include <cstring>
#include <tuple>
#include <utility>

#include "IMessage.h"
#include "WindowTypes.h"
#include "foundation/KVDString.h"

// A CAFId parameter: its own type code although it is an unsigned int.
struct MsgCAFId {
    CAFId value;
};

template <class T>
struct MsgParamTraits;

// Plain values copied byte for byte.
template <class T, uint32_t Code>
struct MsgPlainParam {
    typedef T Arg;
    static constexpr uint32_t kCode = Code;
    static constexpr uint32_t kSize = sizeof(T);
    static T Read(const uint8_t* at)
    {
        T value;
        std::memcpy(&value, at, sizeof(T));
        return value;
    }
    static void Write(uint8_t* at, const T& value) { std::memcpy(at, &value, sizeof(T)); }
};

template <>
struct MsgParamTraits<unsigned int> : MsgPlainParam<unsigned int, kMsgParam_UInt> {};
template <>
struct MsgParamTraits<int> : MsgPlainParam<int, kMsgParam_Int> {};
template <>
struct MsgParamTraits<double> : MsgPlainParam<double, kMsgParam_Double> {};
template <>
struct MsgParamTraits<tagRECT> : MsgPlainParam<tagRECT, kMsgParam_Rect> {};

// A bool travels as a 4-byte value: true when not 0.
template <>
struct MsgParamTraits<bool> {
    typedef bool Arg;
    static constexpr uint32_t kCode = kMsgParam_UInt;
    static constexpr uint32_t kSize = 4;
    static bool Read(const uint8_t* at) { return MsgParamTraits<unsigned int>::Read(at) != 0; }
    static void Write(uint8_t* at, bool value) { MsgParamTraits<unsigned int>::Write(at, value ? 1u : 0u); }
};

template <>
struct MsgParamTraits<MsgCAFId> {
    typedef CAFId Arg;
    static constexpr uint32_t kCode = kMsgParam_CAFId;
    static constexpr uint32_t kSize = 4;
    static CAFId Read(const uint8_t* at) { return MsgParamTraits<unsigned int>::Read(at); }
    static void Write(uint8_t* at, CAFId value) { MsgParamTraits<unsigned int>::Write(at, value); }
};

// A string travels as a pointer to its NUL-terminated characters; whoever packs it keeps the
// characters alive, and the handler receives its own string. A null pointer reads as empty.
template <>
struct MsgParamTraits<KVD::String> {
    typedef KVD::String Arg;
    static constexpr uint32_t kCode = kMsgParam_String;
    static constexpr uint32_t kSize = 8;
    static KVD::String Read(const uint8_t* at)
    {
        const wchar_t* text = nullptr;
        std::memcpy(&text, at, sizeof(text));
        return KVD::String(text);
    }
    static void Write(uint8_t* at, const KVD::String& value)
    {
        const wchar_t* text = value.c_str();
        std::memcpy(at, &text, sizeof(text));
    }
};

// The parameter list of a message.
template <class... P>
struct MsgParams {
    static_assert(sizeof...(P) <= kMsgMaxParams, "a message has at most 8 parameters");

    static constexpr uint32_t kSignature()
    {
        uint32_t signature = 0;
        unsigned shift = 0;
        ((signature |= MsgParamTraits<P>::kCode << shift, shift += 4), ...);
        return signature;
    }
    // Bytes of the values (the signature not included).
    static constexpr uint32_t kValueBytes = (0u + ... + MsgParamTraits<P>::kSize);

    // Offset, from the first value, of the I-th value.
    template <size_t I>
    static constexpr uint32_t Offset()
    {
        constexpr uint32_t sizes[] = {0u, MsgParamTraits<P>::kSize...};
        uint32_t offset = 0;
        for (size_t i = 0; i < I; ++i)
            offset += sizes[i + 1];
        return offset;
    }

    // Reads the values after the signature and calls f with them.
    template <class F>
    static decltype(auto) Apply(const uint8_t* values, F&& f)
    {
        return ApplyIndexed(values, std::forward<F>(f), std::index_sequence_for<P...>());
    }

    // Writes the signature and the values; block must hold 4 + kValueBytes bytes.
    static void Pack(uint8_t* block, const typename MsgParamTraits<P>::Arg&... values)
    {
        const uint32_t signature = kSignature();
        std::memcpy(block, &signature, 4);
        PackIndexed(block + 4, std::index_sequence_for<P...>(), values...);
    }

private:
    template <class F, size_t... I>
    static decltype(auto) ApplyIndexed(const uint8_t* values, F&& f, std::index_sequence<I...>)
    {
        (void)values;
        return f(MsgParamTraits<P>::Read(values + Offset<I>())...);
    }

    template <size_t... I>
    static void PackIndexed(uint8_t* values, std::index_sequence<I...>, const typename MsgParamTraits<P>::Arg&... args)
    {
        (void)values;
        (MsgParamTraits<P>::Write(values + Offset<I>(), args), ...);
    }
};
