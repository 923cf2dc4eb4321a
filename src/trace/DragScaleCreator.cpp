#include "trace/DragScaleCreator.h"

#include "FrameworkIds.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"

namespace OrrelDraw {

HRESULT DragScaleCreator::Create(IScale** out, int offset, int side, DragScaleStyle style)
{
    using DragScaleClass = ObjectFactoryClassObjectAccessor<IDragScaleClassObject, TypeIdClass<&GUID_OrrelObjects, 9u>>;
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    IDragScaleClassObject* classObject = DragScaleClass::Get();
    if (classObject == nullptr)
        return KVD_E_BADSTATE;
    return classObject->CreateScale(offset, side, style, out);
}

}  // namespace OrrelDraw
