#include "spirohost/Options.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include <unistd.h>

#include "foundation/XKVD.h"
#include "host/data/Excerpt.h"
#include "host/data/Recording.h"
#include "host/framework/OutputName.h"
#include "host/framework/SameFile.h"

namespace SpiroHost {
namespace {

// Short options are off so that a value starting with a minus sign, such as the formula
// "-60*Ch1", is taken as written; -h is the one short option and is read here.
constexpr int kStyle = po::command_line_style::unix_style & ~po::command_line_style::allow_short &
                       ~po::command_line_style::allow_sticky & ~po::command_line_style::allow_dash_for_short;

std::pair<std::string, std::string> ShortHelp(const std::string& token)
{
    return token == "-h" ? std::make_pair(std::string("help"), std::string()) : std::make_pair(std::string(), std::string());
}

// The most characters of one piece of a message the parser quotes: a formula given where an
// option is expected, say, may run to 64 kB.
constexpr size_t kLongestPiece = 80;
constexpr char kEllipsis[] = "...";

// Where the piece quoted from open ends: the next quote that ends a word, else the end.
size_t QuoteEnd(const std::string& message, size_t open)
{
    for (size_t close = message.find('\'', open + 1); close != std::string::npos;
         close = message.find('\'', close + 1))
        if (close + 1 == message.size() || std::isspace(static_cast<unsigned char>(message[close + 1])) ||
            message[close + 1] == ')' || message[close + 1] == ',')
            return close;
    return message.size();
}

// Without --verbose or --log the log lines are kept from the user, unless the environment
// already says where they go.
void RouteLog(const po::variables_map& values)
{
    if (values["verbose"].as<bool>())
        ::setenv(XKVD::kLogVariable, "stderr", 1);
    else if (values.count("log"))
        ::setenv(XKVD::kLogVariable, values["log"].as<std::string>().c_str(), 1);
    else
        ::setenv(XKVD::kLogVariable, "off", 0);
}

std::ostream& StandardStream(int fd)
{
    return fd == STDOUT_FILENO ? std::cout : std::cerr;
}

// Where lines meant for the stream at usual (1 or 2) go beside the outputs: a standard stream
// that carries an output carries it alone, so they go to the other one instead, and nowhere when
// both carry one.
std::ostream& LinesBeside(const std::vector<std::string>& outputs, int usual)
{
    static std::ostream nowhere(nullptr);
    bool carries[3] = {};
    for (const std::string& out : outputs)
        if (const int fd = Host::StreamDescriptor(Host::OutputKindOf(out)); fd >= 0)
            carries[fd] = true;
    const int other = usual == STDOUT_FILENO ? STDERR_FILENO : STDOUT_FILENO;
    return !carries[usual] ? StandardStream(usual) : !carries[other] ? StandardStream(other) : nowhere;
}

// Where the log lines go, as XKVD::Log reads the environment: a file, "/dev/stderr", or "" when
// they are off.
std::string LogTarget()
{
    const char* where = std::getenv(XKVD::kLogVariable);
    if (where != nullptr && std::strcmp(where, "off") == 0)
        return {};
    return where == nullptr || *where == '\0' || std::strcmp(where, "stderr") == 0 ? "/dev/stderr" : where;
}

// The refusal of an output (given with option) that the log lines would be appended to: a
// stream or file that carries an output carries it alone.
std::string RefuseMixingWithLog(const std::string& option, const std::string& out)
{
    const std::string log = LogTarget();
    if (log.empty() || !(Host::WritesOver(out, log) || Host::WritesOver(log, out)))
        return {};
    return option + " '" + Host::PathExcerpt(out) + "' is where the log lines go (--log, --verbose or " +
           XKVD::kLogVariable + "); they would be mixed into it: name another file";
}

std::vector<std::string> Paths(const std::vector<Output>& outputs)
{
    std::vector<std::string> paths;
    for (const Output& out : outputs)
        paths.push_back(out.path);
    return paths;
}

}  // namespace

std::string Shortened(const std::string& piece)
{
    if (piece.size() <= kLongestPiece)
        return piece;
    size_t end = kLongestPiece;
    while (end > 0 && (static_cast<unsigned char>(piece[end]) & 0xC0) == 0x80)
        --end;
    return piece.substr(0, end) + kEllipsis;
}

std::string Readable(const std::string& message)
{
    std::string readable;
    size_t at = 0;
    while (at < message.size()) {
        const size_t open = std::min(message.find('\'', at), message.size());
        readable += Shortened(message.substr(at, open - at));
        if (open == message.size())
            break;
        const size_t close = QuoteEnd(message, open);
        readable += "'" + Shortened(message.substr(open + 1, close - open - 1));
        if (close < message.size())
            readable += "'";
        at = close + 1;
    }
    return readable;
}

std::string RefuseWritingOver(const std::string& option, const std::string& out, const std::string& other,
                              const std::string& otherIs)
{
    if (!Host::WritesOver(out, other))
        return {};
    return option + " '" + Host::PathExcerpt(out) + "' is " + otherIs + "; writing it would lose it: name another file";
}

std::string RefuseSystemName(const std::string& option, const std::string& out)
{
    if (Host::OutputKindOf(out) != Host::OutputKind::kSystem)
        return {};
    return (option.empty() ? "" : option + " ") + "'" + Host::PathExcerpt(out) +
           "' is a name of the system's (under /dev or /proc), which is never written: name a file, or /dev/stdout or "
           "/dev/stderr for the stream";
}

std::string RefuseOtherFormat(const std::string& option, const std::string& out, const std::string& written)
{
    const std::string extension = Host::RecordingExtension(out);
    if ((extension != "edf" && extension != "csv") || extension == written)
        return {};
    std::string format = written;
    std::transform(format.begin(), format.end(), format.begin(), [](unsigned char c) { return std::toupper(c); });
    return option + " '" + Host::PathExcerpt(out) + "' ends in ." + extension + ", but it is written as " + format +
           ", and recordings are read as their extension says: name another file";
}

std::string RefuseOutputs(const std::vector<Output>& outputs, const std::string& read, const std::string& readIs)
{
    for (auto out = outputs.begin(); out != outputs.end(); ++out) {
        std::string refusal = RefuseSystemName(out->option, out->path);
        if (refusal.empty() && !read.empty())
            refusal = RefuseWritingOver(out->option, out->path, read, readIs);
        if (refusal.empty())
            refusal = RefuseMixingWithLog(out->option, out->path);
        // Either way round: a name that is a link to the other's file is one file too.
        for (auto earlier = outputs.begin(); refusal.empty() && earlier != out; ++earlier)
            if (Host::WritesOver(out->path, earlier->path) || Host::WritesOver(earlier->path, out->path))
                refusal = out->option + " '" + Host::PathExcerpt(out->path) + "' is the file " + earlier->option +
                          " '" + Host::PathExcerpt(earlier->path) +
                          "' writes; writing both would lose one: name another file";
        if (!refusal.empty())
            return refusal;
    }
    return {};
}

std::ostream& Said(const std::vector<std::string>& outputs)
{
    return LinesBeside(outputs, STDOUT_FILENO);
}

std::ostream& Said(const std::vector<Output>& outputs)
{
    return Said(Paths(outputs));
}

std::ostream& Told(const std::vector<Output>& outputs)
{
    return LinesBeside(Paths(outputs), STDERR_FILENO);
}

Parsed ParseOptions(const char* command, const char* synopsis, const po::options_description& options,
                    const po::positional_options_description& positional, const Args& args)
{
    po::options_description all(options);
    all.add_options()("help,h", "show this help")
        ("verbose", po::bool_switch(), "also write the log lines (KVDBOOTLOG) to standard error")
        ("log", po::value<std::string>(), "append the log lines to this file");
    Parsed parsed;
    try {
        po::store(po::command_line_parser(args)
                      .options(all)
                      .positional(positional)
                      .style(kStyle)
                      .extra_parser(ShortHelp)
                      .run(),
                  parsed.values);
        if (parsed.values.count("help")) {
            std::cout << "usage: spirohost " << command << " " << synopsis << "\n\n" << all;
            parsed.exitCode = 0;
            return parsed;
        }
        po::notify(parsed.values);
        RouteLog(parsed.values);
    } catch (const po::error& e) {
        std::cerr << "spirohost " << command << ": " << Readable(e.what()) << "\nusage: spirohost " << command << " "
                  << synopsis << "\n";
        parsed.exitCode = 2;
    }
    return parsed;
}

}  // namespace SpiroHost
