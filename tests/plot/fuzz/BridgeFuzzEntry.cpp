#include "plot/fuzz/BridgeFuzzEntry.h"

#include <cmath>
#include <cstring>

#include "plot/LumoJavaScriptProxy.h"
#include "plot/LumoProxyMac.h"
#include "plot/LumoSources.h"
#include "support/FakeStreams.h"

namespace PlotFuzz {
namespace {

using Web::Value;

// Reads the bytes front to back; past the end every read gives zeros.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    bool AtEnd() const { return mAt >= mSize; }
    uint8_t Byte() { return mAt < mSize ? mData[mAt++] : 0; }
    std::string Text(size_t n)
    {
        n = std::min(n, mSize - std::min(mAt, mSize));
        std::string text(reinterpret_cast<const char*>(mData + mAt), n);
        mAt += n;
        return text;
    }
    double Number()
    {
        // Small integers, halves and the edges matter more than arbitrary bit patterns.
        const uint8_t kind = Byte();
        switch (kind % 8) {
        case 0: return double(int8_t(Byte()));
        case 1: return double(int8_t(Byte())) / 2;
        case 2: return std::nan("");
        case 3: return (kind & 8) ? INFINITY : -INFINITY;
        case 4: return (kind & 8) ? 1e12 : -1e12;
        case 5: return 2147483647.0 + double(int8_t(Byte()));
        case 6: return double(Byte()) * 1000;
        default: {
            uint64_t bits = 0;
            for (int i = 0; i < 8; ++i)
                bits = bits << 8 | Byte();
            double value;
            std::memcpy(&value, &bits, sizeof(value));
            return value;
        }
        }
    }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mAt = 0;
};

Value ReadValue(Reader& in, int depth)
{
    switch (in.Byte() % 8) {
    case 0: return Value();
    case 1: return Value::Null();
    case 2: return Value::Boolean(in.Byte() & 1);
    case 3: return Value::Number(in.Number());
    case 4: return Value::String(in.Text(in.Byte()));
    case 5: {
        std::vector<Value> items(depth < 2 ? in.Byte() % 24 : 0);
        for (Value& item : items)
            item = ReadValue(in, depth + 1);
        return Value::Array(items);
    }
    case 6: return Value::Object(in.Text(in.Byte() % 16));
    default: return Value::Window();
    }
}

// The count a request asked for, as the bridge reads it.
int64_t Asked(const std::vector<Value>& arguments, double max)
{
    return arguments.size() > 3 ? KVD::LumoJavaScriptProxy::ToCount(arguments[3], max) : 0;
}

// An owner with no page: scripts and menus go nowhere.
class NoPage : public KVD::LumoProxyOwner {
public:
    std::optional<Value> ExecuteJavaScript(const std::string&) override { return std::nullopt; }
    Web::WebScriptObject* WindowScriptObject() override { return nullptr; }
    std::unique_ptr<AppKit::MenuItem> MenuItemWithName(const std::string& title, const std::string*,
                                                       const std::string*, const std::string*, bool) override
    {
        return std::make_unique<AppKit::MenuItem>(title, "", "");
    }
    void ShowDropDownMenu(AppKit::Menu&, const Gfx::Point&) override {}
};

// The samples route gives as many samples as RequestPixData answers; the column route keeps
// at most one pair per sample it read, and reads no more than asked.
std::string CheckSamples(KVD::LumoJavaScriptProxy& bridge, const std::string& method,
                         const std::vector<Value>& arguments, const Value& answer)
{
    if (method == "RequestPixData" && answer.GetKind() == Value::Kind::Array) {
        std::vector<double> samples;
        bridge.Samples(KVD::LumoJavaScriptProxy::kSamplesName, arguments, samples);
        if (samples.size() != answer.AsArray().size())
            return "the samples route and RequestPixData differ";
    }
    std::vector<double> pairs;
    if (!bridge.Samples(KVD::LumoJavaScriptProxy::kColumnsName, arguments, pairs) || pairs.empty())
        return std::string();
    const int64_t asked = arguments.size() > 2 ? KVD::LumoJavaScriptProxy::ToCount(arguments[2], 2147483647.0) : 0;
    const double read = pairs[0];
    if (pairs.size() % 2 != 0 || read > double(std::min(std::max<int64_t>(asked, 0), KVD::LumoProxyBase::kMaxRequestCount)) ||
        double(pairs.size() / 2 - 1) > read)
        return "the column route kept more than it read";
    return std::string();
}

// An equation's points are computed one by one, up to the count cap (four million), which
// left the fuzzer a few runs a second. The page asks for about a plot's width in points; the
// cap itself is shared with the sources, which reach it cheaply.
constexpr int64_t kMaxEquationPoints = 4096;

void ClampEquationRequest(const std::string& method, std::vector<Value>& arguments)
{
    if (method != "RequestPixData" || arguments.size() < 4 ||
        KVD::LumoJavaScriptProxy::ToText(arguments[0]).rfind('$', 0) == 0 ||
        KVD::LumoJavaScriptProxy::ToCount(arguments[3], 2147483647.0) <= kMaxEquationPoints)
        return;
    arguments[3] = Value::Number(double(kMaxEquationPoints));
}

}  // namespace

void DecodeCall(const uint8_t* data, size_t size, std::string& method, std::vector<Value>& arguments)
{
    Reader in(data, size);
    const auto& methods = KVD::LumoJavaScriptProxy::Methods();
    const uint8_t pick = in.Byte();
    method = pick % (methods.size() + 1) < methods.size() ? methods[pick % (methods.size() + 1)].name
                                                          : in.Text(in.Byte() % 32);
    arguments.clear();
    while (!in.AtEnd() && arguments.size() < 12)
        arguments.push_back(ReadValue(in, 0));
}

std::string CheckBridgeCall(const std::string& method, const std::vector<Value>& arguments)
{
    NoPage owner;
    auto* proxy = new KVD::LumoProxyMac(nullptr, true);
    proxy->AddRef();
    proxy->InitWithOwner(&owner);
    CalcTest::FloatStream* ramp = CalcTest::FloatStream::Make(CalcTest::Ramp(1000));
    proxy->SetEnumSource(KVD::String(L"$a"), ramp);
    ramp->Release();
    auto* labelled = new PlotTest::LabelledRamp(300);
    proxy->SetEnumSource(KVD::String(L"$l"), labelled);
    labelled->Release();
    proxy->SetEquationSource(KVD::String(L"e"), KVD::String(L"sin(t)*2"), KVD::String(L"Wave"));
    proxy->RegisterClickablePlot(KVD::String(L"$l"), KVD::String(L""), KVD::String(L"p"), KVD::PlotType::kXYPlot);

    const Value answer = proxy->Bridge()->Dispatch(method, arguments);
    std::string broken;
    const bool known = std::any_of(KVD::LumoJavaScriptProxy::Methods().begin(),
                                   KVD::LumoJavaScriptProxy::Methods().end(),
                                   [&method](const auto& m) { return method == m.name; });
    const int64_t cap = KVD::LumoProxyBase::kMaxRequestCount;
    if (!known && answer != Value::String(""))
        broken = "an unknown name answered something";
    else if (method == "RequestPixData" && answer.GetKind() == Value::Kind::Array &&
             int64_t(answer.AsArray().size()) > std::min(std::max<int64_t>(Asked(arguments, 2147483647.0), 0), cap))
        broken = "more samples than asked for";
    else if (method == "RequestLabelsData" && answer.GetKind() == Value::Kind::Array &&
             int64_t(answer.AsArray().size()) > std::min(std::max<int64_t>(Asked(arguments, INFINITY), 0), cap))
        broken = "more labels than asked for";
    if (broken.empty())
        broken = CheckSamples(*proxy->Bridge(), method, arguments, answer);
    proxy->Release();
    return broken;
}

std::string CheckBridge(const uint8_t* data, size_t size)
{
    std::string method;
    std::vector<Value> arguments;
    DecodeCall(data, size, method, arguments);
    ClampEquationRequest(method, arguments);
    return CheckBridgeCall(method, arguments);
}

}  // namespace PlotFuzz
