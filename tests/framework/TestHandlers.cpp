#include "TestHandlers.h"

namespace FrameworkTest {

CAF_DEFINE_RESPONSE_TABLE(DocHandler, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Message<DocHandler, NoteMsg>(&DocHandler::HmNote),
    ResponseTable::Message<DocHandler, AllKindsMsg>(&DocHandler::HmAllKinds),
    ResponseTable::Message<DocHandler, StopMsg>(&DocHandler::HmStop),
    ResponseTable::Event<DocHandler>(&ChangedEventId::GetId, &DocHandler::EvChanged),
    TableEnd(),
};

bool DocHandler::HmNote(const KVD::String& text)
{
    mLog.push_back(mName + ": " + KVD::ToU8String(text));
    return true;
}

bool DocHandler::HmAllKinds(unsigned int u, int i, double d, CAFId id, const KVD::String& s, const tagRECT& r, bool b)
{
    mLog.push_back(mName + ": " + std::to_string(u) + " " + std::to_string(i) + " " + std::to_string(d) + " " +
                   std::to_string(id) + " " + KVD::ToU8String(s) + " " + std::to_string(r.left) + "," +
                   std::to_string(r.top) + "," + std::to_string(r.right) + "," + std::to_string(r.bottom) +
                   (b ? " true" : " false"));
    return true;
}

bool DocHandler::HmStop()
{
    mLog.push_back(mName + ": stop" + (mStops ? "s" : "s not"));
    return !mStops;
}

void DocHandler::EvChanged(unsigned int value)
{
    mLog.push_back(mName + ": changed " + std::to_string(value));
    if (mOnChanged)
        mOnChanged();
}

CAF_DEFINE_RESPONSE_TABLE(ViewHandler, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Command<ViewHandler>(&ViewCmdId::GetId, &ViewHandler::CmView),
    ResponseTable::Message<ViewHandler, NoteMsg>(&ViewHandler::HmNote),
    ResponseTable::Event<ViewHandler>(&ChangedEventId::GetId, &ViewHandler::EvChanged),
    TableEnd(),
};

bool ViewHandler::HmNote(const KVD::String& text)
{
    mLog.push_back("view: " + KVD::ToU8String(text));
    return true;
}

}  // namespace FrameworkTest
