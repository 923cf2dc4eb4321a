// The list of the plug-in's class objects made during static initialisation, and their
// registration with the host's object factory.
#pragma once

#include "IUnknown.h"

class CAFClassObject {
public:
    // Links this object at the head of the process-wide list; the list is never shortened.
    CAFClassObject();
    virtual ~CAFClassObject() = default;
    CAFClassObject(const CAFClassObject&) = delete;
    CAFClassObject& operator=(const CAFClassObject&) = delete;

    // The IUnknown of the class object to register (its primary interface).
    virtual IUnknown* GetInterface() = 0;

    // Registers every listed object with the object factory, the one constructed last first.
    static void RegisterAll();

private:
    CAFClassObject* mNext;
    static CAFClassObject* sHead;
};
