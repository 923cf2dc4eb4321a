#include "web/Wire.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace Web {
namespace {

double NumberNamed(const std::string& name)
{
    if (name == "Infinity")
        return std::numeric_limits<double>::infinity();
    if (name == "-Infinity")
        return -std::numeric_limits<double>::infinity();
    return std::numeric_limits<double>::quiet_NaN();
}

void AppendNumber(std::string& out, double number)
{
    char buffer[32];
    constexpr double kExact = 9007199254740992.0;  // 2^53: integers below it are exact
    std::to_chars_result written;
    if (number == std::trunc(number) && std::fabs(number) < kExact && !(number == 0 && std::signbit(number)))
        written = std::to_chars(buffer, buffer + sizeof(buffer), static_cast<int64_t>(number));
    else
        written = std::to_chars(buffer, buffer + sizeof(buffer), number);
    out.append(buffer, written.ptr);
}

void AppendWire(std::string& out, const Value& value)
{
    switch (value.GetKind()) {
    case Value::Kind::Number:
        if (std::isfinite(value.AsNumber())) {
            AppendNumber(out, value.AsNumber());
            return;
        }
        break;
    case Value::Kind::Array: {
        out += '[';
        bool first = true;
        for (const Value& item : value.AsArray()) {
            if (!first)
                out += ',';
            first = false;
            AppendWire(out, item);
        }
        out += ']';
        return;
    }
    default:
        break;
    }
    out += ToWire(value).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Base64 of the bytes, padded with '=' to a multiple of four characters.
void AppendBase64(std::string& out, const unsigned char* bytes, size_t size)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const size_t start = out.size();
    out.resize(start + (size + 2) / 3 * 4);
    char* to = &out[start];
    size_t i = 0;
    for (; i + 3 <= size; i += 3, to += 4) {
        const uint32_t bits = uint32_t(bytes[i]) << 16 | uint32_t(bytes[i + 1]) << 8 | bytes[i + 2];
        to[0] = digits[bits >> 18];
        to[1] = digits[(bits >> 12) & 63];
        to[2] = digits[(bits >> 6) & 63];
        to[3] = digits[bits & 63];
    }
    if (i < size) {
        const uint32_t bits = uint32_t(bytes[i]) << 16 | (i + 1 < size ? uint32_t(bytes[i + 1]) << 8 : 0);
        to[0] = digits[bits >> 18];
        to[1] = digits[(bits >> 12) & 63];
        to[2] = i + 1 < size ? digits[(bits >> 6) & 63] : '=';
        to[3] = '=';
    }
}

// The samples as floats, in one pass, when every one is exactly a float (NaN and the
// infinities too); false at the first that is not.
bool ExactFloats(const std::vector<double>& samples, std::vector<float>& floats)
{
    constexpr double kLargest = std::numeric_limits<float>::max();
    floats.resize(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        const double sample = samples[i];
        // Beyond the float range the conversion itself is undefined; NaN fails this test too.
        if (std::fabs(sample) <= kLargest) {
            floats[i] = float(sample);
            if (double(floats[i]) != sample)
                return false;
        } else if (std::isinf(sample) || std::isnan(sample)) {
            floats[i] = float(sample);
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string SamplesWire(const std::vector<double>& samples)
{
    std::string out;
    std::vector<float> floats;
    if (ExactFloats(samples, floats)) {
        out.reserve(1 + (floats.size() * sizeof(float) + 2) / 3 * 4);
        out += '4';
        AppendBase64(out, reinterpret_cast<const unsigned char*>(floats.data()), floats.size() * sizeof(float));
    } else {
        out.reserve(1 + (samples.size() * sizeof(double) + 2) / 3 * 4);
        out += '8';
        AppendBase64(out, reinterpret_cast<const unsigned char*>(samples.data()), samples.size() * sizeof(double));
    }
    return out;
}

std::string WireText(const Value& value)
{
    std::string out;
    AppendWire(out, value);
    return out;
}

nlohmann::json ToWire(const Value& value)
{
    switch (value.GetKind()) {
    case Value::Kind::Undefined:
        return {{"$", "u"}};
    case Value::Kind::Null:
        return nullptr;
    case Value::Kind::Boolean:
        return value.AsBoolean();
    case Value::Kind::Number:
        if (std::isfinite(value.AsNumber()))
            return value.AsNumber();
        return {{"$", "n"}, {"v", ScriptNumberText(value.AsNumber())}};
    case Value::Kind::String:
        return value.AsString();
    case Value::Kind::Array: {
        nlohmann::json items = nlohmann::json::array();
        for (const Value& item : value.AsArray())
            items.push_back(ToWire(item));
        return items;
    }
    case Value::Kind::Window:
        return {{"$", "w"}};
    case Value::Kind::Object:
        break;
    }
    return {{"$", "o"}, {"v", value.AsString()}};
}

namespace {

// The value of wire, whose arrays may nest depth more levels; false when they nest deeper.
bool Decode(const nlohmann::json& wire, int depth, Value& value)
{
    switch (wire.type()) {
    case nlohmann::json::value_t::null:
        value = Value::Null();
        return true;
    case nlohmann::json::value_t::boolean:
        value = Value::Boolean(wire.get<bool>());
        return true;
    case nlohmann::json::value_t::number_integer:
    case nlohmann::json::value_t::number_unsigned:
    case nlohmann::json::value_t::number_float:
        value = Value::Number(wire.get<double>());
        return true;
    case nlohmann::json::value_t::string:
        value = Value::String(wire.get<std::string>());
        return true;
    case nlohmann::json::value_t::array: {
        if (depth <= 0)
            return false;
        std::vector<Value> items(wire.size());
        for (size_t i = 0; i < items.size(); ++i)
            if (!Decode(wire[i], depth - 1, items[i]))
                return false;
        value = Value::Array(std::move(items));
        return true;
    }
    case nlohmann::json::value_t::object: {
        const auto tag = wire.find("$");
        const auto text = wire.find("v");
        const std::string name = tag != wire.end() && tag->is_string() ? tag->get<std::string>() : "";
        const std::string shown = text != wire.end() && text->is_string() ? text->get<std::string>() : "";
        if (name == "n")
            value = Value::Number(NumberNamed(shown));
        else if (name == "w")
            value = Value::Window();
        else if (name == "o")
            value = Value::Object(shown);
        else
            value = Value();
        return true;
    }
    default:
        value = Value();
        return true;
    }
}

}  // namespace

std::optional<Value> FromWire(const nlohmann::json& wire)
{
    Value value;
    if (!Decode(wire, kMaxWireDepth, value))
        return std::nullopt;
    return value;
}

namespace {

// The library's reader of a JSON tree, told to stop at the first array or object that opens
// past the limits.
class BoundedReader : public nlohmann::detail::json_sax_dom_parser<nlohmann::json> {
public:
    BoundedReader(nlohmann::json& json, WireNesting limits)
        : json_sax_dom_parser(json, false), mArraysLeft(limits.arrays), mObjectsLeft(limits.objects)
    {
    }

    bool start_array(std::size_t size) { return Open(mArraysLeft) && json_sax_dom_parser::start_array(size); }
    bool end_array()
    {
        ++mArraysLeft;
        return json_sax_dom_parser::end_array();
    }
    bool start_object(std::size_t size) { return Open(mObjectsLeft) && json_sax_dom_parser::start_object(size); }
    bool end_object()
    {
        ++mObjectsLeft;
        return json_sax_dom_parser::end_object();
    }

    bool TooDeep() const { return mTooDeep; }

private:
    bool Open(int& left)
    {
        if (left <= 0) {
            mTooDeep = true;
            return false;
        }
        --left;
        return true;
    }

    int mArraysLeft;
    int mObjectsLeft;
    bool mTooDeep = false;
};

}  // namespace

WireRead ReadWireJson(const std::string& text, WireNesting limits, nlohmann::json& json)
{
    json = nlohmann::json();
    BoundedReader reader(json, limits);
    if (nlohmann::json::sax_parse(text, &reader))
        return WireRead::Read;
    json = nlohmann::json(nlohmann::json::value_t::discarded);
    return reader.TooDeep() ? WireRead::TooDeep : WireRead::NotJson;
}

}  // namespace Web
