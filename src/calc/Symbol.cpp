#include "calc/Symbol.h"

#include "calc/ArithReps.h"
#include "calc/ChannelRep.h"

namespace CalcParser {

namespace {

// The channel-id flag words of a new channel and of a new formula source.
constexpr BlockDataType kChannelDataType = 0x40001000;
constexpr BlockDataType kSourceDataType = 0;

}  // namespace

Symbol::Symbol(SymType type, double value) : COWHandle<SymbolRep>(new SymbolRep(type, value)) {}

Symbol::Symbol(SymType type, const KVD::String& text) : COWHandle<SymbolRep>(new SymbolRep(type, text)) {}

Symbol::Symbol(BlockDataType type) : COWHandle<SymbolRep>(new ChannelRep(kSymChannel, type)) {}

SymbolRep* Symbol::CreateRepFromType(SymType type)
{
    switch (type) {
    case kSymNumber:
        return new SymbolRep(kSymNumber, 0.0);
    case kSymChannel:
        return new ChannelRep(kSymChannel, kChannelDataType);
    case kSymSource:
        return new ChannelRep(kSymSource, kSourceDataType);
    case kSymUnaryMinus:
        return new UnaryOpArithRep(type);
    case kSymMulByElement:
    case kSymDivByElement:
    case kSymPowByElement:
        return new BinaryOpArithByElementRep(type);
    default:
        if (type >= kSymPlus && type <= kSymAtan2)
            return new BinaryOpArithRep(type);
        return new SymbolRep(type);
    }
}

KVD::String Symbol::TypeToString(SymType type)
{
    static const wchar_t* const kNames[40] = {
        L"End", L"Print", L"String", L"Number", L"Function", L"Channel", L"Source", L"-",
        L"+", L"*", L"-", L"-", L"/", L"/", L"^", L"^",
        L"mod", L"mod", L"threshold", L"threshold", L"atan2", L"atan2", L"Unknown", L"+",
        L"-", L"*", L"/", L"^", L"mod", L"threshold", L"atan2", L"Unknown",
        L"(", L")", L"Unknown", L"Unknown", L"Unknown", L".*", L"./", L".^"};
    if (type < 0 || type >= 40)
        return KVD::String(L"Unknown");
    return KVD::String(kNames[type]);
}

}  // namespace CalcParser
