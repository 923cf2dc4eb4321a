#include "web/Value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace Web {

Value Value::Boolean(bool b)
{
    Value v(Kind::Boolean);
    v.mNumber = b ? 1 : 0;
    return v;
}

Value Value::Number(double n)
{
    Value v(Kind::Number);
    v.mNumber = n;
    return v;
}

Value Value::String(std::string s)
{
    Value v(Kind::String);
    v.mText = std::move(s);
    return v;
}

Value Value::Array(std::vector<Value> items)
{
    Value v(Kind::Array);
    v.mItems = std::move(items);
    return v;
}

Value Value::Numbers(const std::vector<double>& numbers)
{
    std::vector<Value> items;
    items.reserve(numbers.size());
    for (double n : numbers)
        items.push_back(Number(n));
    return Array(std::move(items));
}

Value Value::Strings(const std::vector<std::string>& strings)
{
    std::vector<Value> items;
    items.reserve(strings.size());
    for (const std::string& s : strings)
        items.push_back(String(s));
    return Array(std::move(items));
}

Value Value::Object(std::string text)
{
    Value v(Kind::Object);
    v.mText = std::move(text);
    return v;
}

std::string Value::ToText() const
{
    switch (mKind) {
    case Kind::Undefined:
    case Kind::Null:
        return std::string();
    case Kind::Boolean:
        return mNumber != 0 ? "true" : "false";
    case Kind::Number:
        return ScriptNumberText(mNumber);
    case Kind::Window:
        return "[object Window]";
    case Kind::Array: {
        // As Array.prototype.join: undefined and null items give empty text.
        std::string text;
        for (size_t i = 0; i < mItems.size(); ++i)
            text += (i > 0 ? "," : "") + mItems[i].ToText();
        return text;
    }
    case Kind::String:
    case Kind::Object:
        break;
    }
    return mText;
}

bool Value::operator==(const Value& other) const
{
    if (mKind != other.mKind)
        return false;
    if (mKind == Kind::Number && std::isnan(mNumber))
        return std::isnan(other.mNumber);
    return mNumber == other.mNumber && mText == other.mText && mItems == other.mItems;
}

std::string ScriptNumberText(double n)
{
    if (std::isnan(n))
        return "NaN";
    if (std::isinf(n))
        return n > 0 ? "Infinity" : "-Infinity";
    char buffer[32];
    if (n == std::trunc(n) && std::fabs(n) < 1e21) {
        std::snprintf(buffer, sizeof buffer, "%.0f", n == 0 ? 0.0 : n);
        return buffer;
    }
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, n);
        if (std::strtod(buffer, nullptr) == n)
            break;
    }
    return buffer;
}

}  // namespace Web
