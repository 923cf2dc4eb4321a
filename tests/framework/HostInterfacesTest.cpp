// The framework's host interfaces cross the boundary: the operations the host calls by number
// must sit in those slots, counting AddRef as 0.
#include <gtest/gtest.h>

#include <cstring>

#include "FrameworkIds.h"
#include "ICAFEventMap.h"
#include "IChannelCalc.h"
#include "ICustomDocument.h"
#include "IDocView.h"
#include "IMessageHandler.h"
#include "ISettingsRegistrar.h"

namespace {

// Under the Itanium C++ ABI a pointer to a virtual member holds 1 + the byte offset of its
// vtable entry.
template <class F>
long Slot(F member)
{
    static_assert(sizeof(F) == 2 * sizeof(void*), "Itanium member pointer");
    uintptr_t raw = 0;
    std::memcpy(&raw, &member, sizeof(raw));
    return static_cast<long>((raw - 1) / sizeof(void*));
}

TEST(HostInterfaces, MessageSlots)
{
    EXPECT_EQ(Slot(&IStandardMsgFactory::CreateMessage), 9);
    EXPECT_EQ(Slot(&IMessage::SetSender), 10);
    EXPECT_EQ(Slot(&IMessageProcessor::DeliverMessage), 3);
    EXPECT_EQ(Slot(&IMessageHandler::DispatchKVDMessage), 3);
    EXPECT_EQ(Slot(&IMessageHandler::GetDefaultHandler), 7);
}

TEST(HostInterfaces, SettingsSlots)
{
    EXPECT_EQ(Slot(&ISettingsRegistrar::GetObject), 4);
    EXPECT_EQ(Slot(&ISettingsRegistrar::GetValue), 22);
    // The five key forms follow the class-object operations.
    EXPECT_EQ(Slot(&ISRKeyClass::CreateKey), 7);
    EXPECT_EQ(Slot(&ISRKeyClass::CreateIndexedKey), 8);
    EXPECT_EQ(Slot(&ISRKeyClass::CreateIdPairKey), 9);
    EXPECT_EQ(Slot(&ISRKeyClass::CreateNamedKey), 10);
    EXPECT_EQ(Slot(&ISRKeyClass::CreateTwoPartKey), 11);
}

TEST(HostInterfaces, EventMapSlots)
{
    EXPECT_EQ(Slot(&ICAFEventMap::AttachObserver), 3);
    EXPECT_EQ(Slot(&ICAFEventMap::DetachObserver), 4);
    EXPECT_EQ(Slot(&ICAFEventMap::NotifyObservers), 5);
    EXPECT_EQ(Slot(&ICAFEventMap::RegisterEvent), 8);
    EXPECT_EQ(Slot(&ICAFEventMap::RemoveSubject), 9);
    EXPECT_EQ(Slot(&ICAFEventMap::RemoveObserver), 10);
    EXPECT_EQ(Slot(&ISubject::NotifyObservers), 3);
    EXPECT_EQ(Slot(&ISubject::RegisterEvent), 6);
    EXPECT_EQ(Slot(&ICAFCommandEnabler::SetText), 3);
    EXPECT_EQ(Slot(&ICAFCommandEnabler::Enable), 4);
}

TEST(HostInterfaces, DocumentAndViewSlots)
{
    EXPECT_EQ(Slot(&IDocument::GetRootDocument), 7);
    EXPECT_EQ(Slot(&IDocument::GetChildView), 19);
    EXPECT_EQ(Slot(&IDocument::GetChildObject), 25);
    EXPECT_EQ(Slot(&ICustomDocClass::GetDocumentClassName), 7);
    EXPECT_EQ(Slot(&ICustomDocClass::GetDocumentClassId), 13);
    EXPECT_EQ(Slot(&IDocViewClass::GetViewName), 7);
    EXPECT_EQ(Slot(&IDocViewClass::RegisterViewSpecificCommands), 16);
    EXPECT_EQ(Slot(&IDocView2::GetViewName), 3);
    EXPECT_EQ(Slot(&IDocView2::GetUniqueId), 8);
    EXPECT_EQ(Slot(&IDocView2::SetInstance), 14);
}

TEST(HostInterfaces, DataDocumentSlots)
{
    EXPECT_EQ(Slot(&IAutoOrrelDoc::GetChannelCount), 5);
    EXPECT_EQ(Slot(&IAutoOrrelDoc::GetChannelCountEx), 6);
    EXPECT_EQ(Slot(&IAutoOrrelDoc::GetComputedChannelCount), 8);
    EXPECT_EQ(Slot(&IAutoOrrelDoc::GetData), 12);
    EXPECT_EQ(Slot(&IAutoOrrelDoc::GetSettingsRegistrar), 17);
    EXPECT_EQ(Slot(&IAutoOrrelDoc::GetRecordData), 50);
    EXPECT_EQ(Slot(&IAutoOrrelDoc::GetSelection), 61);
    EXPECT_EQ(Slot(&IRecordData::GetRecordEnd), 10);
    EXPECT_EQ(Slot(&IRecordData::IsValidRange), 57);
    EXPECT_EQ(Slot(&IRecordData::GetAbsoluteTick), 61);
    EXPECT_EQ(Slot(&IRecordDataSelection::GetRange), 7);
    EXPECT_EQ(Slot(&IRecordDataSelection::HasSelection), 10);
    EXPECT_EQ(Slot(&IOrrelView::GetZoom), 5);
    EXPECT_EQ(Slot(&IOrrelView::GetDisplayedRange), 8);
    EXPECT_EQ(Slot(&IKVDOrrelDisplaySettings::GetColour), 4);
}

TEST(HostInterfaces, CalculationSlots)
{
    EXPECT_EQ(Slot(&IChannelCalc::GetRecordCreationInfo), 3);
    EXPECT_EQ(Slot(&IChannelCalc::Clone), 8);
    EXPECT_EQ(Slot(&IChannelCalc::Deconfigure), 10);
    EXPECT_EQ(Slot(&ICalculationClass::Create), 11);
    EXPECT_EQ(Slot(&IOrrelSetCalcData::GetData), 12);
    EXPECT_EQ(Slot(&ICalcEnumHost::SetSources), 3);
    EXPECT_EQ(Slot(&ICalcEnumHost::SetSettingsText), 5);
    EXPECT_EQ(Slot(&ICalcEnumHost::InstallCalcEnum), 7);
    EXPECT_EQ(Slot(&ICalcEnumHost::AutoScale), 10);
    EXPECT_EQ(Slot(&ICalcEnumHost::Reset), 13);
}

TEST(HostInterfaces, FixedIds)
{
    EXPECT_EQ(kTypeId_StandardMsgFactory, 0x80000007u);
    EXPECT_EQ(kTypeId_SRKeyClass, 0x8000000Au);
    EXPECT_EQ(kTypeId_CommandGroupClass, 0x80000014u);
    EXPECT_EQ(kMsgId_WindowPosition, 0x80010005u);
    EXPECT_EQ(kMsgId_CloseView, 0x80010016u);
}

}  // namespace
