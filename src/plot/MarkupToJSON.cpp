#include "plot/MarkupToJSON.h"

#include <charconv>

#include "plot/MarkupParse.h"
#include "plot/ScriptText.h"

namespace Lumo {
namespace {

using namespace Markup;

// Appends the text of an interval's body.
class JsonIntervalVisitor : public boost::static_visitor<> {
public:
    explicit JsonIntervalVisitor(std::string& out) : mOut(out) {}

    void operator()(const FloatInterval& interval) const
    {
        if (const double* begin = boost::get<double>(&interval.begin))
            AppendNumber(mOut, *begin);
        else
            mOut += "null";
        mOut += ", ";
        AppendNumber(mOut, interval.step);
        mOut += ", ";
        if (const double* end = boost::get<double>(&interval.end))
            AppendNumber(mOut, *end);
        else
            mOut += "null";
    }

    // The page has no meaning for intervals of sampled data yet: the body stays empty.
    void operator()(const TickInterval&) const {}

private:
    std::string& mOut;
};

// Appends the text of one value; objects and arrays recurse.
class JsonVisitor : public boost::static_visitor<> {
public:
    explicit JsonVisitor(std::string& out) : mOut(out) {}

    void operator()(double value) const { AppendNumber(mOut, value); }
    void operator()(int value) const { mOut += std::to_string(value); }
    void operator()(bool value) const { mOut += value ? "true" : "false"; }
    void operator()(const std::string& text) const { AppendQuoted(mOut, text); }
    void operator()(NullType) const { mOut += "null"; }

    void operator()(const TextGenerator& generator) const
    {
        mOut += "['text_generator', ";
        AppendQuoted(mOut, generator.name);
        mOut += ", ";
        (*this)(generator.colour);
        mOut += ']';
    }

    void operator()(const Generator& generator) const
    {
        mOut += "['generator', ";
        AppendQuoted(mOut, generator.name);
        mOut += ", ";
        (*this)(generator.interval);
        mOut += ']';
    }

    void operator()(const Object& object) const
    {
        mOut += "{\n";
        for (std::size_t i = 0; i < object.size(); ++i) {
            if (i > 0)
                mOut += ",\n";
            if (IsPlainIdentifier(object[i].name))
                mOut += object[i].name;
            else
                AppendQuoted(mOut, object[i].name);
            mOut += ": ";
            boost::apply_visitor(*this, object[i].value);
        }
        mOut += "\n}";
    }

    void operator()(const Colour& colour) const
    {
        mOut += "new lumo.Colour(";
        for (std::size_t i = 0; i + 1 < colour.size(); i += 2) {
            if (i > 0)
                mOut += ", ";
            int component = 0;
            std::from_chars(colour.data() + i, colour.data() + i + 2, component, 16);
            mOut += std::to_string(component);
        }
        mOut += ')';
    }

    void operator()(const Interval& interval) const
    {
        mOut += "['interval', ";
        boost::apply_visitor(JsonIntervalVisitor(mOut), interval.body);
        mOut += boost::get<OpenInterval>(&interval.end) ? ", lumo.kOpenInterval]" : ", lumo.kClosedInterval]";
    }

    void operator()(const Array& array) const
    {
        mOut += '[';
        for (std::size_t i = 0; i < array.size(); ++i) {
            if (i > 0)
                mOut += ", ";
            boost::apply_visitor(*this, array[i]);
        }
        mOut += ']';
    }

private:
    std::string& mOut;
};

}  // namespace

std::string ToScriptLiteral(const AST& ast)
{
    std::string out = "[\n";
    const JsonVisitor visitor(out);
    for (std::size_t i = 0; i < ast.size(); ++i) {
        if (i > 0)
            out += ",\n";
        out += "{\nproperty_name: ";
        AppendQuoted(out, ast[i].name);
        out += ",\nmarkup:\n";
        boost::apply_visitor(visitor, ast[i].value);
        out += "\n}";
    }
    out += "\n]";
    return out;
}

bool MarkupToJSON(const std::string& markup, std::string& out)
{
    std::string error;
    return MarkupToJSON(markup, out, error);
}

bool MarkupToJSON(const std::string& markup, std::string& out, std::string& error)
{
    AST ast;
    int line = 0;
    if (!TmplParse::Parse(markup, ast, error, line))
        return false;
    out = ToScriptLiteral(ast);
    return true;
}

}  // namespace Lumo
