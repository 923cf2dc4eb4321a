#include "host/drawing/DrawingClasses.h"

#include <cmath>
#include <cstring>

#include "foundation/ConstEventIterBase.h"
#include "host/drawing/DragScale.h"

namespace Host {
namespace {

TCAFId& AnnotationTypeId()
{
    static TCAFId id = 0;
    return id;
}

}  // namespace

DragScaleClass::DragScaleClass(TCAFId typeId) : ServiceClassObject(typeId, L"Drag Scale") {}

HRESULT DragScaleClass::CreateScale(int32_t offset, int32_t side, DragScaleStyle style, IScale** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = DragScale::Create(offset, side, style);
    return KVD_S_OK;
}

AnnotationDrawClass::AnnotationDrawClass(TCAFId typeId) : ServiceClassObject(typeId, L"Annotation Events") {}

uint32_t AnnotationDrawClass::ColourOf(double number)
{
    // Saturated colours that stand out on white and on black alike.
    static const uint32_t kColours[] = {0x0000D5, 0xFF4000, 0x00AA55, 0xD500A8, 0x00A0E0, 0x0080AA};
    const auto n = std::isfinite(number) && number >= 0.0 ? size_t(number) : 0;
    return kColours[n % (sizeof kColours / sizeof kColours[0])];
}

HRESULT AnnotationDrawClass::GetEventColour(const uint8_t* event, uint32_t* rgb)
{
    if (event == nullptr || rgb == nullptr)
        return KVD_E_POINTER;
    KVDEventBase header;
    std::memcpy(&header, event, sizeof header);
    *rgb = ColourOf(header.value);
    return KVD_S_OK;
}

void RegisterDrawingClasses(IObjectFactory& factory, uint16_t orrelObjects)
{
    static DragScaleClass dragScaleClass(TCAFId(orrelObjects) << 16 | kOrrelObject_DragScale);
    AnnotationTypeId() = TCAFId(orrelObjects) << 16 | kOrrelObject_AnnotationDrawClass;
    static AnnotationDrawClass annotationClass(AnnotationTypeId());
    factory.RegisterClassObject(static_cast<ICAFClassObject*>(&dragScaleClass));
    factory.RegisterClassObject(static_cast<ICAFClassObject*>(&annotationClass));
}

TCAFId AnnotationDrawClassTypeId()
{
    return AnnotationTypeId();
}

}  // namespace Host
