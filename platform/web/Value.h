// A script value as it crosses between the host and a page: undefined, null, a boolean, a
// number, a string, an array of those, or a reference to an object of the page (the window
// itself, or another object known only by its text).
#pragma once

#include <string>
#include <vector>

namespace Web {

class Value {
public:
    enum class Kind { Undefined, Null, Boolean, Number, String, Array, Window, Object };

    Value() = default;  // undefined
    static Value Null() { return Value(Kind::Null); }
    static Value Boolean(bool b);
    static Value Number(double n);
    static Value String(std::string s);
    static Value Array(std::vector<Value> items);
    static Value Numbers(const std::vector<double>& numbers);
    static Value Strings(const std::vector<std::string>& strings);
    static Value Window() { return Value(Kind::Window); }
    // An object other than the window, known by its script text ("[object Object]", ...).
    static Value Object(std::string text);

    Kind GetKind() const { return mKind; }
    bool IsUndefined() const { return mKind == Kind::Undefined; }
    // The number of a number, else 0.
    double AsNumber() const { return mKind == Kind::Number ? mNumber : 0; }
    bool AsBoolean() const { return mKind == Kind::Boolean && mNumber != 0; }
    // The text of a string or an object, else empty.
    const std::string& AsString() const { return mText; }
    // The items of an array, else none.
    const std::vector<Value>& AsArray() const { return mItems; }

    // The value as script's String() gives it, except that undefined and null give "" (what a
    // web view answers for a script whose result is not a value).
    std::string ToText() const;

    bool operator==(const Value& other) const;
    bool operator!=(const Value& other) const { return !(*this == other); }

private:
    explicit Value(Kind kind) : mKind(kind) {}

    Kind mKind = Kind::Undefined;
    double mNumber = 0;
    std::string mText;
    std::vector<Value> mItems;
};

// A number written as script writes it: integers without a fraction, others in the fewest
// digits that read back the same, "NaN", "Infinity", "-Infinity".
std::string ScriptNumberText(double n);

}  // namespace Web
