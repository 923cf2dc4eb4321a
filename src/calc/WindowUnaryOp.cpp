#include "calc/WindowUnaryOp.h"

#include <locale>
#include <sstream>

#include "calc/CalcEnumGuids.h"
#include "foundation/DynamicId.h"

namespace CalcParser {

WindowUnaryOp::WindowUnaryOp(double bottom, double top) : SymbolRep(kSymFunction), mBottom(bottom), mTop(top)
{
    SetEnumOutputDataTypes(kEnumDataSamples, TypeIdClass<&GUID_ArithEnumObj, 8>::GetId());
}

KVD::String WindowUnaryOp::GetSettings() const
{
    std::wostringstream text;
    text.imbue(std::locale::classic());
    text << mBottom << L'\t' << mTop;
    return KVD::String(text.str());
}

}  // namespace CalcParser
