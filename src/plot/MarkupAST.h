// The value tree of a plot description: what the markup parser produces and the script
// literal writer reads. Text is kept as the markup's own bytes (UTF-8 where it matters).
#pragma once

#include <string>
#include <vector>

#include <boost/variant.hpp>

namespace Lumo {
namespace Markup {

// Marker types: keywords and interval ends that carry no value.
struct BeginType {};
struct EndType {};
struct OpenInterval {};
struct ClosedInterval {};
struct NullType {};

struct FiniteTickPosition {
    int record = 0;
    boost::variant<double, EndType> position;
};

using TickPosition = boost::variant<EndType, FiniteTickPosition>;

struct TickInterval {
    TickPosition first;
    TickPosition second;
};

struct FloatInterval {
    boost::variant<double, BeginType> begin;
    double step = 0;
    boost::variant<double, EndType> end;
};

struct Interval {
    boost::variant<FloatInterval, TickInterval> body;
    boost::variant<OpenInterval, ClosedInterval> end;
};

// The eight hexadecimal digits after '#': red, green, blue, alpha.
struct Colour : std::string {
    Colour() = default;
    Colour(std::string digits) : std::string(std::move(digits)) {}
};

// A data source and the range over which it is sampled.
struct Generator {
    std::string name;
    Interval interval;
};

// A text or labels source and its colour.
struct TextGenerator {
    std::string name;
    Colour colour;
};

struct Object;
struct Array;

// The tag order is that of the kinds: the literal writer relies on it.
using Value = boost::variant<double, int, bool, TextGenerator, Generator, std::string, boost::recursive_wrapper<Object>,
                             Colour, Interval, boost::recursive_wrapper<Array>, NullType>;

enum ValueKind {
    kDouble,
    kInt,
    kBool,
    kTextGenerator,
    kGenerator,
    kString,
    kObject,
    kColour,
    kInterval,
    kArray,
    kNull,
};

struct Declaration {
    std::string name;
    Value value;
};

struct Object : std::vector<Declaration> {
    Object() = default;
    Object(std::vector<Declaration> declarations) : std::vector<Declaration>(std::move(declarations)) {}
};

struct Array : std::vector<Value> {
    Array() = default;
    Array(std::vector<Value> elements) : std::vector<Value>(std::move(elements)) {}
};

// The parsed document: its declarations in text order.
using AST = std::vector<Declaration>;

}  // namespace Markup
}  // namespace Lumo
