// What the host does once a plug-in has registered its class objects: it registers the
// document classes of child documents, whose commands then join the menus, and the view classes.
#pragma once

#include <string>

#include "IFramework.h"
#include "foundation/COMPtr.h"

namespace Host {

// Calls OnRegister, once each, on the child-document classes and then on the view classes
// (with the last document class); answers how many classes were registered now.
uint32_t RegisterDocumentAndViewClasses();

// The first class object of the category whose object name is name (letter case ignored when
// asked); null when there is none.
KVD::COMPtr<ICAFClassObject> FindClassObject(const _IID& category, const std::string& name, bool ignoreCase = false);

}  // namespace Host
