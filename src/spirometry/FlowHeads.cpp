#include "spirometry/FlowHeads.h"

namespace Spirometry {

FlowHeads::FlowHeads()
{
    AddHead(L"Valtrin A", 0.08, 1.0);
    AddHead(L"Valtrin B", 0.72, 1.0);
    AddHead(L"Valtrin C", 11.79, 0.37);
    AddHead(L"Valtrin D", 40.1, 1.0);
    AddHead(L"Quelby E", 38.0, 1.0);
}

void FlowHeads::AddHead(const KVD::String& name, double scale, double coefficient)
{
    mNames.Add(name);
    mScales.Add(scale);
    mCoefficients.Add(coefficient);
}

}  // namespace Spirometry
