#include "plot/LumoPersistTask.h"

#include <charconv>

#include "framework/SRKey.h"

namespace KVD {
namespace {

typedef LumoEventId<kLumoXScalingChanged> XScalingEvent;
typedef LumoEventId<kLumoYScalingChanged> YScalingEvent;
typedef LumoEventId<kLumoRegionPosChanged> RegionMovedEvent;
typedef LumoEventId<kLumoRegionTextChanged> RegionTextEvent;

// The shortest text that reads back as the same double, so that a narrow zoom comes back as
// it was left (six significant digits would make 3600.001 to 3600.004 one value). Whole and
// short numbers read as before (10, -2.5); infinities and NaN as the stream wrote them.
std::wstring Number(double value)
{
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    return std::wstring(text, written.ptr);
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f'; }

bool IsNameChar(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' || c == L'-';
}

// From the opening brace at open, the position of its closing brace, past strings, comments
// and nested objects and arrays; npos when the markup ends first.
size_t ClosingBrace(const std::wstring& markup, size_t open)
{
    int depth = 0;
    for (size_t i = open; i < markup.size(); ++i) {
        const wchar_t c = markup[i];
        if (c == L'\'' || c == L'"') {
            for (++i; i < markup.size() && markup[i] != c; ++i)
                if (markup[i] == L'\\')
                    ++i;
        } else if (c == L'/' && i + 1 < markup.size() && markup[i + 1] == L'/') {
            i = markup.find_first_of(L"\r\n", i);
            if (i == std::wstring::npos)
                return i;
        } else if (c == L'{' || c == L'[') {
            ++depth;
        } else if (c == L'}' || c == L']') {
            if (--depth == 0)
                return c == L'}' ? i : std::wstring::npos;
        }
    }
    return std::wstring::npos;
}

// The text between the first pair of the quote that comes first after from, up to end.
std::wstring QuotedAfter(const std::wstring& markup, size_t from, size_t end)
{
    size_t open = markup.find(L'"', from);
    if (open == std::wstring::npos || open >= end)
        open = markup.find(L'\'', from);
    if (open == std::wstring::npos || open >= end)
        return std::wstring();
    const size_t close = markup.find(markup[open], open + 1);
    return markup.substr(open + 1, (close == std::wstring::npos || close > end ? end : close) - open - 1);
}

}  // namespace

CAF_DEFINE_RESPONSE_TABLE(LumoPersistTask, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Event<LumoPersistTask>(&XScalingEvent::GetId, &LumoPersistTask::OnXScalingChanged),
    ResponseTable::Event<LumoPersistTask>(&YScalingEvent::GetId, &LumoPersistTask::OnYScalingChanged),
    ResponseTable::Message<LumoPersistTask, SetRangeXMsg>(&LumoPersistTask::HmSetRangeX),
    ResponseTable::Message<LumoPersistTask, SetRangeYMsg>(&LumoPersistTask::HmSetRangeY),
    ResponseTable::Message<LumoPersistTask, SetRangeXExMsg>(&LumoPersistTask::HmSetRangeXEx),
    ResponseTable::Message<LumoPersistTask, SetRangeYExMsg>(&LumoPersistTask::HmSetRangeYEx),
    ResponseTable::Event<LumoPersistTask>(&RegionMovedEvent::GetId, &LumoPersistTask::OnRegionMoved),
    ResponseTable::Event<LumoPersistTask>(&RegionTextEvent::GetId, &LumoPersistTask::OnRegionTextChanged),
    ResponseTable::Message<LumoPersistTask, SetRegionPosMsg>(&LumoPersistTask::HmSetRegionPos),
    ResponseTable::Message<LumoPersistTask, SetRegionTextMsg>(&LumoPersistTask::HmSetRegionText),
    TableEnd(),
};

LumoPersistTask::LumoPersistTask(const String& plotId, ISettingsRegistrar* registrar, ISubject* subject,
                                 IMessageHandler* handler)
    : mPlotId(plotId)
{
    mRegionPositions.max_load_factor(1);
    mRegionTexts.max_load_factor(1);
    SetDestination(handler, true);
    Init(handler);
    if (subject != nullptr)
        subject->AttachObserver(this);
    Initialize(registrar, LumoLibMessageGUID, false);
}

template <class Msg>
void LumoPersistTask::SendRange(const double* values, bool autoScaled)
{
    const Msg message(mPlotId, values[1], values[0], autoScaled);
    SendMsg(GetDestination(), message, SRKey(Msg::GetId(), mPlotId, &LumoLibMessageGUID),
            autoScaled ? kAutoScaledFlags : kFlags);
}

// Fewer than two values carry no range: nothing is stored for them.
void LumoPersistTask::OnXScalingChanged(const wchar_t*, const double* values, unsigned count, bool autoScaled)
{
    if (values != nullptr && count >= 2)
        SendRange<SetRangeXExMsg>(values, autoScaled);
}

void LumoPersistTask::OnYScalingChanged(const wchar_t*, const double* values, unsigned count, bool autoScaled)
{
    if (values != nullptr && count >= 2)
        SendRange<SetRangeYExMsg>(values, autoScaled);
}

void LumoPersistTask::OnRegionMoved(const wchar_t* regionId, double x, double y)
{
    const String region(regionId);
    String key = mPlotId;
    key += region;
    SendMsg(GetDestination(), SetRegionPosMsg(mPlotId, region, x, y),
            SRKey(SetRegionPosMsg::GetId(), key, &LumoLibMessageGUID), kFlags);
}

void LumoPersistTask::OnRegionTextChanged(const wchar_t* regionId, const wchar_t* text)
{
    const String region(regionId);
    String key = mPlotId;
    key += region;
    SendMsg(GetDestination(), SetRegionTextMsg(mPlotId, region, String(text)),
            SRKey(SetRegionTextMsg::GetId(), key, &LumoLibMessageGUID), kFlags);
}

bool LumoPersistTask::HmSetRangeX(const String& plotId, double high, double low)
{
    if (plotId == mPlotId)
        mX = ChannelYDataRange{high, low};
    return true;
}

bool LumoPersistTask::HmSetRangeY(const String& plotId, double high, double low)
{
    if (plotId == mPlotId)
        mY = ChannelYDataRange{high, low};
    return true;
}

bool LumoPersistTask::HmSetRangeXEx(const String& plotId, double high, double low, bool)
{
    return HmSetRangeX(plotId, high, low);
}

bool LumoPersistTask::HmSetRangeYEx(const String& plotId, double high, double low, bool)
{
    return HmSetRangeY(plotId, high, low);
}

bool LumoPersistTask::HmSetRegionPos(const String& plotId, const String& regionId, double x, double y)
{
    if (plotId.CaseInsensitiveEqual(mPlotId))
        mRegionPositions[regionId] = std::make_pair(x, y);
    return true;
}

bool LumoPersistTask::HmSetRegionText(const String& plotId, const String& regionId, const String& text)
{
    if (plotId.CaseInsensitiveEqual(mPlotId))
        mRegionTexts[regionId] = text;
    return true;
}

void LumoPersistTask::SetScaleRanges(const ChannelYDataRange& x, const ChannelYDataRange& y, bool send,
                                     bool onlyIfUnset)
{
    const ChannelYDataRange unset;
    if (send) {
        if (x != unset) {
            const double values[] = {x.low, x.high};
            SendRange<SetRangeXExMsg>(values, false);
        }
        if (y != unset) {
            const double values[] = {y.low, y.high};
            SendRange<SetRangeYExMsg>(values, false);
        }
        return;
    }
    if (x != unset && (!onlyIfUnset || mX == unset))
        mX = x;
    if (y != unset && (!onlyIfUnset || mY == unset))
        mY = y;
}

void LumoPersistTask::GetScaleRanges(ChannelYDataRange& x, ChannelYDataRange& y) const
{
    x = mX;
    y = mY;
}

void LumoPersistTask::GetScaleRange(int direction, ChannelYDataRange& range) const
{
    if (direction == 0)
        range = mX;
    else if (direction == 1)
        range = mY;
    else
        range = ChannelYDataRange{std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()};
}

void LumoPersistTask::ModifyMarkup(std::wstring& markup) const
{
    if (markup.empty())
        return;
    std::wstring text;
    // Line ends count as blanks: markup often ends in ",\n".
    const size_t last = markup.find_last_not_of(L" \t\r\n\v\f");
    if (last == std::wstring::npos || markup[last] != L',')
        text = L", ";
    const auto scale = [&text](const ChannelYDataRange& range, const wchar_t* axis) {
        const std::wstring a(axis);
        if (ChannelUnitsRange::RangeIsValid(range))
            text += a + L"scalemin: " + Number(range.low) + L"," + a + L"scalemax: " + Number(range.high) +
                    L", do_initial_autoscale_" + a + L": false, ";
        else
            text += a + L"scalemin: 0.0, " + a + L"scalemax: 1.0, do_initial_autoscale_" + a + L": true, ";
    };
    scale(mY, L"y");
    scale(mX, L"x");
    markup += text;
    ModifyRegionPos(L"legend", markup);
    ModifyRegionPos(L"text_region", markup);
}

void LumoPersistTask::ModifyRegionPos(const std::wstring& kind, std::wstring& markup) const
{
    const size_t found = markup.find(kind + L":");
    if (found == std::wstring::npos)
        return;
    const size_t open = markup.find_first_not_of(L" \t\r\n\v\f", found + kind.size() + 1);
    if (open == std::wstring::npos || markup[open] != L'{')
        return;
    const size_t close = ClosingBrace(markup, open);
    if (close == std::wstring::npos)
        return;
    // The entry's own key "id", not the end of another name such as "grid".
    size_t id = markup.find(L"id:", open);
    while (id != std::wstring::npos && id < close && IsNameChar(markup[id - 1]))
        id = markup.find(L"id:", id + 1);
    const std::wstring regionId = id != std::wstring::npos && id < close ? QuotedAfter(markup, id + 3, close) : L"";
    const auto position = mRegionPositions.find(String(regionId));
    if (position == mRegionPositions.end())
        return;
    size_t at = close;
    while (at > open + 1 && IsBlank(markup[at - 1]))
        --at;
    // After a trailing comma, or in an empty entry, no comma of our own goes first.
    const bool separated = markup[at - 1] == L',' || markup[at - 1] == L'{';
    const std::wstring text = std::wstring(separated ? L" " : L", ") + L"x_percent: " +
                              Number(position->second.first) + L", y_percent: " + Number(position->second.second);
    markup.insert(at, text);
}

}  // namespace KVD
