// Fixed ids of the host framework (bit 31 set) shared by the host and the plug-in, and the GUIDs
// that name the framework's id groups and categories.
#pragma once

#include "KVDTypes.h"

// Fixed type ids of host class objects, found through the object factory.
constexpr TCAFId kTypeId_StandardMsgFactory = 0x80000007;
constexpr TCAFId kTypeId_SRKeyClass = 0x8000000A;
constexpr TCAFId kTypeId_ViewClassBase = 0x8000000F;
constexpr TCAFId kTypeId_DocumentBase = 0x80000011;
constexpr TCAFId kTypeId_DocumentClassBase = 0x80000012;
constexpr TCAFId kTypeId_CommandClass = 0x80000013;
constexpr TCAFId kTypeId_CommandGroupClass = 0x80000014;

// Fixed message ids.
constexpr TCAFId kMsgId_OpenView = 0x80010000;        // CAFId view-class type id
constexpr TCAFId kMsgId_WindowPosition = 0x80010005;  // CAFId, unsigned int, tagRECT
constexpr TCAFId kMsgId_Copy = 0x80010008;
constexpr TCAFId kMsgId_Print = 0x8001000B;
constexpr TCAFId kMsgId_PrintPreview = 0x8001000C;
constexpr TCAFId kMsgId_PageSetup = 0x8001000D;
constexpr TCAFId kMsgId_CloseView = 0x80010016;

// Fixed command ids.
constexpr TCAFId kCmdId_Print = 0x80170000;
constexpr TCAFId kCmdId_PrintPreview = 0x80170001;
constexpr TCAFId kCmdId_CopyToClipboard = 0x80170004;

// Fixed event ids: a document's creation has completed (data: two IDocument pointers).
constexpr TCAFId kEventId_CreationComplete = 0x80000000;
constexpr TCAFId kEventId_HostViewEvent = 0x80080002;

// Message flags.
constexpr uint32_t kMsgFlag_NotToSender = 0x8;  // not dispatched back to the handler that sent it

// FE43E0DA-1AEB-460A-8D07-820F8E9CE98C: events of the host's data document
inline constexpr _IID CLSID_OrrelDocument = {0xFE43E0DA, 0x1AEB, 0x460A, {0x8D, 0x07, 0x82, 0x0F, 0x8E, 0x9C, 0xE9, 0x8C}};
// 852B0B39-000C-40AC-9A80-A7F3A9389D23: host object types
inline constexpr _IID GUID_OrrelObjects = {0x852B0B39, 0x000C, 0x40AC, {0x9A, 0x80, 0xA7, 0xF3, 0xA9, 0x38, 0x9D, 0x23}};
// 70EF77EB-A83C-4FCD-AEF4-80FED21C8D64: the host's cyclic-measurements document part
inline constexpr _IID CMDocumentGUID = {0x70EF77EB, 0xA83C, 0x4FCD, {0xAE, 0xF4, 0x80, 0xFE, 0xD2, 0x1C, 0x8D, 0x64}};
// 09CE687B-DA72-4E29-988A-D8B9D5585C15: category of child-document classes
inline constexpr _IID CATID_OrrelChildDocClass = {0x09CE687B, 0xDA72, 0x4E29, {0x98, 0x8A, 0xD8, 0xB9, 0xD5, 0x58, 0x5C, 0x15}};
// 2281AD2E-33BC-4CD0-B481-50CA2CD3DFD2: category of view classes
inline constexpr _IID CATID_OrrelViewClass = {0x2281AD2E, 0x33BC, 0x4CD0, {0xB4, 0x81, 0x50, 0xCA, 0x2C, 0xD3, 0xDF, 0xD2}};
// 444B6C1C-93DE-45DB-A71B-DAE297E10CC3: values stored under window keys are window positions
inline constexpr _IID SRCAT_WindowPos = {0x444B6C1C, 0x93DE, 0x45DB, {0xA7, 0x1B, 0xDA, 0xE2, 0x97, 0xE1, 0x0C, 0xC3}};

// Object types of GUID_OrrelObjects (index in the low half of the type id).
constexpr unsigned kOrrelObject_DataView = 2;
constexpr unsigned kOrrelObject_CalcEnumHost = 17;
