// The grammar "Lumo Markup". Boost.Spirit lives in this file only: it dominates build time.
#include "plot/MarkupParse.h"

#include <sstream>

#include <boost/fusion/include/adapt_struct.hpp>
#include <boost/phoenix/function.hpp>
#include <boost/phoenix/operator.hpp>
#include <boost/spirit/include/qi.hpp>

#include "plot/MarkupErrors.h"

BOOST_FUSION_ADAPT_STRUCT(Lumo::Markup::FiniteTickPosition, record, position)
BOOST_FUSION_ADAPT_STRUCT(Lumo::Markup::TickInterval, first, second)
BOOST_FUSION_ADAPT_STRUCT(Lumo::Markup::FloatInterval, begin, step, end)
BOOST_FUSION_ADAPT_STRUCT(Lumo::Markup::Interval, body, end)
BOOST_FUSION_ADAPT_STRUCT(Lumo::Markup::Generator, name, interval)
BOOST_FUSION_ADAPT_STRUCT(Lumo::Markup::TextGenerator, name, colour)
BOOST_FUSION_ADAPT_STRUCT(Lumo::Markup::Declaration, name, value)

namespace Lumo {
namespace Impl {

namespace qi = boost::spirit::qi;
namespace ascii = boost::spirit::ascii;
using namespace Markup;
using Iterator = std::string::const_iterator;

// The expected component as the library's simple printer writes it, without its first and
// last characters: a rule's name, a literal's text, a character class's name.
std::string Describe(const boost::spirit::info& what)
{
    std::ostringstream printed;
    printed << what;
    std::string text = printed.str();
    if (text.size() >= 2)
        text = text.substr(1, text.size() - 2);
    return text;
}

// White space and "//" comments up to the end of the line.
struct CommentSkipper : qi::grammar<Iterator> {
    CommentSkipper() : CommentSkipper::base_type(skip)
    {
        skip = ascii::space | (qi::lit("//") >> *(qi::standard::char_ - qi::eol) >> (qi::eol | qi::eoi));
    }
    qi::rule<Iterator> skip;
};

// Single- or double-quoted text; a backslash keeps the quote or backslash that follows it.
struct QuotedString : qi::grammar<Iterator, std::string(), CommentSkipper> {
    QuotedString() : QuotedString::base_type(string, "quoted string")
    {
        using qi::standard::char_;
        single = qi::lexeme['\'' >> *(('\\' >> char_("'\\")) | (char_ - '\'' - '\\')) > '\''];
        dbl = qi::lexeme['"' >> *(('\\' >> char_("\"\\")) | (char_ - '"' - '\\')) > '"'];
        string = single | dbl;
        string.name("a string");
        single.name("a single quoted string");
        dbl.name("a double quoted string");
    }
    qi::rule<Iterator, std::string(), CommentSkipper> string, single, dbl;
};

struct Interval : qi::grammar<Iterator, Markup::Interval(), CommentSkipper> {
    Interval() : Interval::base_type(interval, "interval")
    {
        begin = qi::lit("begin") >> qi::attr(BeginType());
        end = qi::lit("end") >> qi::attr(EndType());
        beginOrFloat = qi::double_ | begin;
        endOrFloat = qi::double_ | end;
        floatInterval = (beginOrFloat >> ':') > qi::double_ > ':' > endOrFloat;
        withinRecord = (qi::int_ >> '|') > endOrFloat;
        tickPosition = end | withinRecord;
        tickInterval = tickPosition > ',' > tickPosition;
        open = qi::lit(')') >> qi::attr(OpenInterval());
        closed = qi::lit(']') >> qi::attr(ClosedInterval());
        interval = '[' >> (floatInterval | tickInterval) > (open | closed);

        interval.name("an interval");
        floatInterval.name("an interval over floating-point numbers");
        endOrFloat.name("a float or the 'end' keyword");
        end.name("the 'end' keyword");
        tickInterval.name("an interval of sampled data");
        tickPosition.name("a tick position");
        withinRecord.name("a tick position within a record");
        open.name("an open interval");
        closed.name("a closed interval");
    }
    qi::rule<Iterator, Markup::Interval(), CommentSkipper> interval;
    qi::rule<Iterator, FloatInterval(), CommentSkipper> floatInterval;
    qi::rule<Iterator, boost::variant<double, BeginType>(), CommentSkipper> beginOrFloat;
    qi::rule<Iterator, boost::variant<double, EndType>(), CommentSkipper> endOrFloat;
    qi::rule<Iterator, BeginType(), CommentSkipper> begin;
    qi::rule<Iterator, EndType(), CommentSkipper> end;
    qi::rule<Iterator, TickInterval(), CommentSkipper> tickInterval;
    qi::rule<Iterator, TickPosition(), CommentSkipper> tickPosition;
    qi::rule<Iterator, FiniteTickPosition(), CommentSkipper> withinRecord;
    qi::rule<Iterator, OpenInterval(), CommentSkipper> open;
    qi::rule<Iterator, ClosedInterval(), CommentSkipper> closed;
};

class MarkupGrammar : public qi::grammar<Iterator, AST(), CommentSkipper> {
public:
    explicit MarkupGrammar(const std::string& text) : MarkupGrammar::base_type(markup, "Lumo Markup"), mText(text)
    {
        using qi::_r1;
        using qi::standard::char_;
        const auto deeper = _r1 + 1;

        markup = declarations(0);
        declarations = declaration(_r1) % ',' >> -qi::lit(',');
        declaration = (identifier | string) > ':' > value(_r1);
        identifier = qi::lexeme[char_("a-zA-Z_") > *char_("a-zA-Z0-9_-")];
        value = qi::eps(_r1 <= kMaxMarkupNesting) >>
                (qi::double_ | qi::int_ | qi::bool_ | generator | textGenerator | string | object(deeper) | colour |
                 interval | array(deeper) | null);
        elements = value(_r1) % ',' >> -qi::lit(',');
        object = ('{' >> declarations(_r1) > '}') | ('{' > qi::lit('}'));
        array = ('[' >> elements(_r1) > ']') | ('[' > qi::lit(']'));
        colour = qi::lexeme['#' > ascii::xdigit > ascii::xdigit > ascii::xdigit > ascii::xdigit > ascii::xdigit >
                            ascii::xdigit > ascii::xdigit > ascii::xdigit];
        generator = string >> interval;
        textGenerator = string >> colour;
        null = qi::lit("null") >> qi::attr(NullType());

        markup.name("the beginning of some markup");
        declarations.name("a list of declarations");
        declaration.name("a declaration");
        identifier.name("an identifier");
        value.name("a datatype");
        elements.name("a list of elements");
        object.name("an object");
        array.name("an array");
        colour.name("a colour");
        generator.name("a data generator");
        textGenerator.name("a text or labels source");
        null.name("the 'null' keyword");
        string.name("a string");

        qi::on_error<qi::fail>(markup, boost::phoenix::function<ErrorHandler>(ErrorHandler{*this})(qi::_4, qi::_3, qi::_2));
    }

    std::string GetLastError(int& line) const
    {
        line = mLine;
        return mError.str();
    }

    // The library calls it with what it expected, where, and the end of the input; the parse
    // then fails.
    void handle_error(const boost::spirit::info& what, Iterator errorPosition, Iterator /*last*/)
    {
        std::string error;
        FormatErrMsg(mText, "Expected " + Describe(what), errorPosition - mText.begin(), error, mLine);
        mError << error;
    }

private:
    struct ErrorHandler {
        MarkupGrammar& grammar;
        void operator()(const boost::spirit::info& what, Iterator errorPosition, Iterator last) const
        {
            grammar.handle_error(what, errorPosition, last);
        }
    };

    const std::string& mText;
    std::ostringstream mError;
    int mLine = 0;

    QuotedString string;
    Impl::Interval interval;
    qi::rule<Iterator, AST(), CommentSkipper> markup;
    qi::rule<Iterator, std::vector<Declaration>(int), CommentSkipper> declarations;
    qi::rule<Iterator, Declaration(int), CommentSkipper> declaration;
    qi::rule<Iterator, std::string(), CommentSkipper> identifier;
    qi::rule<Iterator, Value(int), CommentSkipper> value;
    qi::rule<Iterator, std::vector<Value>(int), CommentSkipper> elements;
    qi::rule<Iterator, Object(int), CommentSkipper> object;
    qi::rule<Iterator, Array(int), CommentSkipper> array;
    qi::rule<Iterator, Colour(), CommentSkipper> colour;
    qi::rule<Iterator, Generator(), CommentSkipper> generator;
    qi::rule<Iterator, TextGenerator(), CommentSkipper> textGenerator;
    qi::rule<Iterator, NullType(), CommentSkipper> null;
};

}  // namespace Impl

bool Parse(const std::string& text, Markup::AST& ast)
{
    std::string error;
    int line = 0;
    return TmplParse::Parse(text, ast, error, line);
}

namespace TmplParse {

bool Parse(const std::string& text, Markup::AST& ast, std::string& error, int& line)
{
    const Impl::CommentSkipper skipper;
    Impl::MarkupGrammar grammar(text);
    Impl::Iterator position = text.begin();
    const Impl::Iterator end = text.end();
    // The skipper runs after the match too: trailing blanks and comments are no error.
    if (!boost::spirit::qi::phrase_parse(position, end, grammar, skipper, ast)) {
        error = grammar.GetLastError(line);
        return false;
    }
    if (position == end)
        return true;
    Impl::FormatErrMsg(text, "Missing comma", position - text.begin(), error, line);
    return false;
}

}  // namespace TmplParse
}  // namespace Lumo
