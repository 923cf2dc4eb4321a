// The host class objects of trace drawing that the object factory hands out: the drag-scale
// class (type 9 of GUID_OrrelObjects) and the event-draw class of annotation events.
#pragma once

#include "IDisplaySettings.h"
#include "IFramework.h"
#include "IScale.h"
#include "host/framework/ServiceClassObject.h"

namespace Host {

// Object type of GUID_OrrelObjects of the annotations' event-draw class.
constexpr unsigned kOrrelObject_AnnotationDrawClass = 21;

class DragScaleClass final : public ServiceClassObject<ICAFClassObject, IDragScaleClassObject> {
public:
    explicit DragScaleClass(TCAFId typeId);

    HRESULT CreateScale(int32_t offset, int32_t side, DragScaleStyle style, IScale** out) override;
};

// Colours an annotation by its number: annotations with the same text share a colour.
class AnnotationDrawClass final : public ServiceClassObject<ICAFClassObject, IPODEventDrawClass> {
public:
    explicit AnnotationDrawClass(TCAFId typeId);

    HRESULT GetEventColour(const uint8_t* event, uint32_t* rgb) override;

    // The colour of the n-th distinct annotation text.
    static uint32_t ColourOf(double number);
};

// Registers both with the framework's object factory.
void RegisterDrawingClasses(IObjectFactory& factory, uint16_t orrelObjects);
// The type id under which annotation streams name their draw class, once registered.
TCAFId AnnotationDrawClassTypeId();

}  // namespace Host
