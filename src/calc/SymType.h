// Kinds of the elements of a compiled formula, and the words that travel with channels.
#pragma once

#include <cstdint>

namespace CalcParser {

enum SymType : int32_t {
    kSymEnd = 0,
    kSymPrint = 1,
    kSymString = 2,
    kSymNumber = 3,
    kSymFunction = 4,
    kSymChannel = 5,
    kSymSource = 6,
    kSymUnaryMinus = 7,
    kSymAddConst = 8,
    kSymMulConst = 9,
    kSymSubConst = 10,
    kSymConstSub = 11,
    kSymDivConst = 12,
    kSymConstDiv = 13,
    kSymPowConst = 14,
    kSymConstPow = 15,
    kSymModConst = 16,
    kSymConstMod = 17,
    kSymThresholdConst = 18,
    kSymConstThreshold = 19,
    kSymAtan2Const = 20,
    kSymConstAtan2 = 21,
    kSymPlus = 23,
    kSymMinus = 24,
    kSymMul = 25,
    kSymDiv = 26,
    kSymPow = 27,
    kSymMod = 28,
    kSymThreshold = 29,
    kSymAtan2 = 30,
    kSymLeftParen = 32,
    kSymRightParen = 33,
    kSymVariable = 34,
    kSymAssign = 35,
    kSymChanName = 36,
    kSymMulByElement = 37,
    kSymDivByElement = 38,
    kSymPowByElement = 39,
    kSymComma = 44,
};

}  // namespace CalcParser

// Flag word of a channel id's upper half: the data requested of the channel.
typedef uint32_t BlockDataType;
