// The plug-in's own GUIDs and the ids the host gives them. Each id is asked of the host's
// dynamic-id factory once, on first use, and kept for the life of the process.
#pragma once

#include "ISpiroDocument.h"
#include "KVDTypes.h"
#include "foundation/DynamicId.h"

namespace Spirometry {

// F0583045-9581-11D3-A6F0-005004D0F872: the data view
inline constexpr _IID GUID_SpiroData = {0xF0583045, 0x9581, 0x11D3, {0xA6, 0xF0, 0x00, 0x50, 0x04, 0xD0, 0xF8, 0x72}};
// E053ECE5-9572-11D3-A6F0-005004D0F872: the flow-volume loop view
inline constexpr _IID GUID_SpiroXYPlot = {0xE053ECE5, 0x9572, 0x11D3, {0xA6, 0xF0, 0x00, 0x50, 0x04, 0xD0, 0xF8, 0x72}};
// 987ECA74-9593-11D3-A6F0-005004D0F872: the report view and the CSV export format
inline constexpr _IID GUID_SpiroReport = {0x987ECA74, 0x9593, 0x11D3, {0xA6, 0xF0, 0x00, 0x50, 0x04, 0xD0, 0xF8, 0x72}};

// 23469B5F-9E7B-49A4-9693-50EF4A4DF9FC: the four calculation classes and their settings classes
inline constexpr _IID SpiroCalcGUID = {0x23469B5F, 0x9E7B, 0x49A4, {0x96, 0x93, 0x50, 0xEF, 0x4A, 0x4D, 0xF9, 0xFC}};
// 40D8E54E-3DFC-4C3A-B388-7E933368FE12: the sample and event enumerator classes
inline constexpr _IID GUID_SpEnumObj = {0x40D8E54E, 0x3DFC, 0x4C3A, {0xB3, 0x88, 0x7E, 0x93, 0x33, 0x68, 0xFE, 0x12}};
// 7715EE44-5622-4DE8-B2D0-B729FE5C733F: the tidal-volume detector class
inline constexpr _IID TidalEventEnumGUID = {0x7715EE44, 0x5622, 0x4DE8, {0xB2, 0xD0, 0xB7, 0x29, 0xFE, 0x5C, 0x73, 0x3F}};
// B4EF01BD-EB54-47CC-92F4-72363A955D2A: the expiratory-only tidal-volume detector class
inline constexpr _IID TidalExpEventEnumGUID = {0xB4EF01BD, 0xEB54, 0x47CC, {0x92, 0xF4, 0x72, 0x36, 0x3A, 0x95, 0x5D, 0x2A}};

// Sub-ids of SpiroCalcGUID: each calculation class, then its settings class.
enum SpiroCalcSubId : unsigned {
    kSpFlowCalcSubId = 0,
    kSpFlowSettingsSubId = 1,
    kSpVolCalcSubId = 2,
    kSpVolSettingsSubId = 3,
    kSpMinVentCalcSubId = 4,
    kSpMinVentSettingsSubId = 5,
    kSpTidalVolCalcSubId = 6,
    kSpTidalVolSettingsSubId = 7,
};

// Sub-ids of GUID_SpEnumObj (2, 3, 4 and 8 are not used).
enum SpEnumSubId : unsigned {
    kSpFlowEnumSubId = 0,
    kSpVolEnumSubId = 1,
    kSpBreathEventEnumSubId = 5,
    kSpFlowEventEnumSubId = 6,
    kSpVolEventEnumSubId = 7,
    kTidalVolEnumSubId = 9,
};

// View type ids all use index 1; the CSV format shares the report's GUID with index 2.
inline TCAFId SpiroDataViewTypeId() { return TypeIdClass<&GUID_SpiroData, 1>::GetId(); }
inline TCAFId SpiroLoopViewTypeId() { return TypeIdClass<&GUID_SpiroXYPlot, 1>::GetId(); }
inline TCAFId SpiroReportViewTypeId() { return TypeIdClass<&GUID_SpiroReport, 1>::GetId(); }
inline TCAFId SpiroCSVFormatId() { return TypeIdClass<&GUID_SpiroReport, 2>::GetId(); }
inline TCAFId SpiroDocumentTypeId() { return TypeIdClass<&SpiroDocumentGUID, 0>::GetId(); }

inline TCAFId SpFlowCalcTypeId() { return TypeIdClass<&SpiroCalcGUID, kSpFlowCalcSubId>::GetId(); }
inline TCAFId SpFlowSettingsTypeId() { return TypeIdClass<&SpiroCalcGUID, kSpFlowSettingsSubId>::GetId(); }
inline TCAFId SpVolSettingsTypeId() { return TypeIdClass<&SpiroCalcGUID, kSpVolSettingsSubId>::GetId(); }
inline TCAFId SpFlowEnumTypeId() { return TypeIdClass<&GUID_SpEnumObj, kSpFlowEnumSubId>::GetId(); }
inline TCAFId SpVolEnumTypeId() { return TypeIdClass<&GUID_SpEnumObj, kSpVolEnumSubId>::GetId(); }

}  // namespace Spirometry
