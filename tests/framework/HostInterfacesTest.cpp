// The framework's host interfaces cross the boundary: the operations the host calls by number
// must sit in those slots, and the ids it sends must keep their values.
#include <gtest/gtest.h>

#include "FrameworkIds.h"
#include "ICAFEventMap.h"
#include "IChannelCalc.h"
#include "ICustomDocument.h"
#include "IDocView.h"
#include "IMessageHandler.h"
#include "ISettingsRegistrar.h"
#include "support/VtableSlot.h"

namespace {

TEST(HostInterfaces, SlotsTheHostCallsByNumber)
{
    TestSupport::ExpectSlots({
        TEST_SLOT(IStandardMsgFactory::CreateMessage, 9), TEST_SLOT(IMessage::SetSender, 10),
        TEST_SLOT(IMessageProcessor::DeliverMessage, 3), TEST_SLOT(IMessageHandler::DispatchKVDMessage, 3),
        TEST_SLOT(IMessageHandler::GetDefaultHandler, 7),
        TEST_SLOT(ISettingsRegistrar::GetObject, 4), TEST_SLOT(ISettingsRegistrar::GetValue, 22),
        // The five key forms follow the class-object operations.
        TEST_SLOT(ISRKeyClass::CreateKey, 7), TEST_SLOT(ISRKeyClass::CreateIndexedKey, 8),
        TEST_SLOT(ISRKeyClass::CreateIdPairKey, 9), TEST_SLOT(ISRKeyClass::CreateNamedKey, 10),
        TEST_SLOT(ISRKeyClass::CreateTwoPartKey, 11),
        TEST_SLOT(ICAFEventMap::AttachObserver, 3), TEST_SLOT(ICAFEventMap::DetachObserver, 4),
        TEST_SLOT(ICAFEventMap::NotifyObservers, 5), TEST_SLOT(ICAFEventMap::RegisterEvent, 8),
        TEST_SLOT(ICAFEventMap::RemoveSubject, 9), TEST_SLOT(ICAFEventMap::RemoveObserver, 10),
        TEST_SLOT(ISubject::NotifyObservers, 3), TEST_SLOT(ISubject::RegisterEvent, 6),
        TEST_SLOT(ICAFCommandEnabler::SetText, 3), TEST_SLOT(ICAFCommandEnabler::Enable, 4),
        TEST_SLOT(IDocument::GetRootDocument, 7), TEST_SLOT(IDocument::GetChildView, 19),
        TEST_SLOT(IDocument::GetChildObject, 25), TEST_SLOT(ICustomDocClass::GetDocumentClassName, 7),
        TEST_SLOT(ICustomDocClass::GetDocumentClassId, 13), TEST_SLOT(IDocViewClass::GetViewName, 7),
        TEST_SLOT(IDocViewClass::RegisterViewSpecificCommands, 16), TEST_SLOT(IDocView2::GetViewName, 3),
        TEST_SLOT(IDocView2::GetUniqueId, 8), TEST_SLOT(IDocView2::SetInstance, 14),
        TEST_SLOT(IAutoOrrelDoc::GetChannelCount, 5), TEST_SLOT(IAutoOrrelDoc::GetChannelCountEx, 6),
        TEST_SLOT(IAutoOrrelDoc::GetComputedChannelCount, 8), TEST_SLOT(IAutoOrrelDoc::GetData, 12),
        TEST_SLOT(IAutoOrrelDoc::GetSettingsRegistrar, 17), TEST_SLOT(IAutoOrrelDoc::GetRecordData, 50),
        TEST_SLOT(IAutoOrrelDoc::GetSelection, 61), TEST_SLOT(IRecordData::GetRecordEnd, 10),
        TEST_SLOT(IRecordData::IsValidRange, 57), TEST_SLOT(IRecordData::GetAbsoluteTick, 61),
        TEST_SLOT(IRecordDataSelection::GetRange, 7), TEST_SLOT(IRecordDataSelection::HasSelection, 10),
        TEST_SLOT(IOrrelView::GetZoom, 5), TEST_SLOT(IOrrelView::GetDisplayedRange, 8),
        TEST_SLOT(IKVDOrrelDisplaySettings::GetColour, 4),
        TEST_SLOT(IChannelCalc::GetRecordCreationInfo, 3), TEST_SLOT(IChannelCalc::Clone, 8),
        TEST_SLOT(IChannelCalc::Deconfigure, 10), TEST_SLOT(ICalculationClass::Create, 11),
        TEST_SLOT(IOrrelSetCalcData::GetData, 12), TEST_SLOT(ICalcEnumHost::SetSources, 3),
        TEST_SLOT(ICalcEnumHost::SetSettingsText, 5), TEST_SLOT(ICalcEnumHost::InstallCalcEnum, 7),
        TEST_SLOT(ICalcEnumHost::AutoScale, 10), TEST_SLOT(ICalcEnumHost::Reset, 13),
    });
    EXPECT_EQ(kTypeId_StandardMsgFactory, 0x80000007u);
    EXPECT_EQ(kTypeId_SRKeyClass, 0x8000000Au);
    EXPECT_EQ(kTypeId_CommandGroupClass, 0x80000014u);
    EXPECT_EQ(kMsgId_WindowPosition, 0x80010005u);
    EXPECT_EQ(kMsgId_CloseView, 0x80010016u);
}

}  // namespace
