// Plot state kept with the document: the scale ranges a user chose and where the user dragged
// a plot's legend or text region. The page's events become keyed messages that the host
// stores with the document and delivers back; a new task replays what is stored, and the
// markup sent to the page gets the stored ranges and positions appended.
#pragma once

#include <string>
#include <unordered_map>
#include <utility>

#include "ISettingsRegistrar.h"
#include "foundation/UnknownImp.h"
#include "framework/CAFEventHandlerT.h"
#include "framework/MsgData.h"
#include "framework/ResponseTable.h"
#include "plot/ChannelUnitsRange.h"
#include "plot/LumoIds.h"

namespace KVD {

struct StringHash {
    size_t operator()(const String& text) const { return std::hash<std::wstring>()(text.c_str()); }
};

typedef MsgData3<LumoMsgId<kLumoSetRangeX>, 32, String, double, double> SetRangeXMsg;
typedef MsgData3<LumoMsgId<kLumoSetRangeY>, 32, String, double, double> SetRangeYMsg;
typedef MsgData4<LumoMsgId<kLumoSetRegionPos>, 32, String, String, double, double> SetRegionPosMsg;
typedef MsgData3<LumoMsgId<kLumoSetRegionText>, 32, String, String, String> SetRegionTextMsg;
typedef MsgData4<LumoMsgId<kLumoSetRangeXEx>, 32, String, double, double, bool> SetRangeXExMsg;
typedef MsgData4<LumoMsgId<kLumoSetRangeYEx>, 32, String, double, double, bool> SetRangeYExMsg;

class LumoPersistTask : public CComObjectRoot, public CAFEventHandlerT<true> {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    static constexpr MsgFlags kFlags = 32;
    static constexpr MsgFlags kAutoScaledFlags = 0x100000;

    // Sends through handler (and hears its messages back as its child), observes subject and
    // replays what registrar holds under the plot engine's messages. The count starts at 0.
    LumoPersistTask(const String& plotId, ISettingsRegistrar* registrar, ISubject* subject, IMessageHandler* handler);

    KVD_BEGIN_INTERFACE_MAP(LumoPersistTask)
        KVD_INTERFACE_ENTRY(IObserver)
        KVD_INTERFACE_ENTRY(ICAFCommandHandler)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_HEAP_REFCOUNT()
    KVD_IMPLEMENT_QUERYINTERFACE()

    // Page events; count is the number of range values (the flag follows them).
    void OnXScalingChanged(const wchar_t* plotId, const double* values, unsigned count, bool autoScaled);
    void OnYScalingChanged(const wchar_t* plotId, const double* values, unsigned count, bool autoScaled);
    void OnRegionMoved(const wchar_t* regionId, double x, double y);
    void OnRegionTextChanged(const wchar_t* regionId, const wchar_t* text);

    // Stored or returning messages; each is answered as handled.
    bool HmSetRangeX(const String& plotId, double high, double low);
    bool HmSetRangeY(const String& plotId, double high, double low);
    bool HmSetRangeXEx(const String& plotId, double high, double low, bool flag);
    bool HmSetRangeYEx(const String& plotId, double high, double low, bool flag);
    bool HmSetRegionPos(const String& plotId, const String& regionId, double x, double y);
    bool HmSetRegionText(const String& plotId, const String& regionId, const String& text);

    // send: have the host store the ranges (they come back as messages); else keep them,
    // only where none is kept when onlyIfUnset. A (0, 0) range is skipped.
    void SetScaleRanges(const ChannelYDataRange& x, const ChannelYDataRange& y, bool send, bool onlyIfUnset);
    void GetScaleRanges(ChannelYDataRange& x, ChannelYDataRange& y) const;
    // 0 the x range, 1 the y range; any other direction an invalid range.
    void GetScaleRange(int direction, ChannelYDataRange& range) const;

    // Appends the kept ranges (or autoscaling) and puts the kept legend and text-region
    // positions into their entries.
    void ModifyMarkup(std::wstring& markup) const;
    // Puts the kept position of the first entry of kind (an object) into it.
    void ModifyRegionPos(const std::wstring& kind, std::wstring& markup) const;

    const String& PlotId() const { return mPlotId; }
    const std::unordered_map<String, String, StringHash>& RegionTexts() const { return mRegionTexts; }

private:
    template <class Msg>
    void SendRange(const double* values, bool autoScaled);

    String mPlotId;
    ChannelYDataRange mX;
    ChannelYDataRange mY;
    std::unordered_map<String, std::pair<double, double>, StringHash> mRegionPositions;
    std::unordered_map<String, String, StringHash> mRegionTexts;
};

}  // namespace KVD
