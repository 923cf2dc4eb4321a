// Concrete handlers for the framework's tests: a COM handler (as documents are) and a view
// handler, each with a response table that records what reached it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "foundation/DynamicId.h"
#include "foundation/UnknownImp.h"
#include "framework/CAFCppEventHandler.h"
#include "framework/CAFEventHandlerT.h"
#include "framework/CAFProxyEventHandler.h"
#include "framework/CAFSubject.h"
#include "framework/ResponseTable.h"
#include "support/ComDoubles.h"

namespace FrameworkTest {

// 6D0F2B2E-5B2A-4B43-8C61-0C6E3A9D1F01: ids of the test messages and events
inline constexpr _IID kTestGuid = {0x6D0F2B2E, 0x5B2A, 0x4B43, {0x8C, 0x61, 0x0C, 0x6E, 0x3A, 0x9D, 0x1F, 0x01}};

typedef TypeIdClass<&kTestGuid, 1> NoteMsgId;
typedef TypeIdClass<&kTestGuid, 2> AllKindsMsgId;
typedef TypeIdClass<&kTestGuid, 3> StopMsgId;
typedef TypeIdClass<&kTestGuid, 4> ChangedEventId;
typedef TypeIdClass<&kTestGuid, 5> ViewCmdId;

typedef MsgData1<NoteMsgId, 0, KVD::String> NoteMsg;
typedef MsgDataT<AllKindsMsgId, 0, unsigned int, int, double, MsgCAFId, KVD::String, tagRECT, bool> AllKindsMsg;
typedef MsgData0<StopMsgId> StopMsg;

// Everything a handler receives is written to one shared log, prefixed with its name.
typedef std::vector<std::string> Log;

class DocHandler : public CAFEventHandler, public KVD::CComObjectRoot {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    DocHandler(std::string name, Log& log, bool stops = false) : mName(std::move(name)), mLog(log), mStops(stops) {}

    KVD_BEGIN_INTERFACE_MAP(DocHandler)
        KVD_INTERFACE_ENTRY(ICAFCommandHandler)
        KVD_INTERFACE_ENTRY(IObserver)
        KVD_INTERFACE_ENTRY(IMessageHandler)
        KVD_INTERFACE_ENTRY_AGGREGATE(IID_ISettingsRegistrar, mRegistrar)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_HEAP_REFCOUNT()
    KVD_IMPLEMENT_QUERYINTERFACE()

    bool HmNote(const KVD::String& text);
    bool HmAllKinds(unsigned int u, int i, double d, CAFId id, const KVD::String& s, const tagRECT& r, bool b);
    bool HmStop();
    void EvChanged(unsigned int value);

    // A registrar that keyed messages to this handler are stored in.
    IUnknown* mRegistrar = nullptr;
    // Run during EvChanged (to detach observers while an event is delivered).
    std::function<void()> mOnChanged;

private:
    ~DocHandler() override { if (mRegistrar != nullptr) mRegistrar->Release(); }

    std::string mName;
    Log& mLog;
    bool mStops;
};

class ViewHandler : public CAFCppEventHandler {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    ViewHandler(Log& log) : mLog(log) {}
    void CmView() { mLog.push_back("view: command"); }
    bool HmNote(const KVD::String& text);
    void EvChanged(unsigned int value) { mLog.push_back("view: changed " + std::to_string(value)); }

private:
    Log& mLog;
};

// A subject of the plug-in's own, keeping nothing itself.
class TestSubject : public TestSupport::InertObject<CAFSubject> {};

// A heap object with a reference, released by the holder.
template <class T>
class Ref {
public:
    template <class... A>
    explicit Ref(A&&... args) : mObject(new T(std::forward<A>(args)...))
    {
        mObject->AddRef();
    }
    ~Ref() { Reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    T* operator->() const { return mObject; }
    T* get() const { return mObject; }
    void Reset()
    {
        if (mObject != nullptr)
            std::exchange(mObject, nullptr)->Release();
    }

private:
    T* mObject;
};

}  // namespace FrameworkTest
