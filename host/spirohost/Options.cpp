#include "spirohost/Options.h"

#include <iostream>

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

}  // namespace

Parsed ParseOptions(const char* command, const char* synopsis, const po::options_description& options,
                    const po::positional_options_description& positional, const Args& args)
{
    po::options_description all(options);
    all.add_options()("help,h", "show this help");
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
    } catch (const po::error& e) {
        std::cerr << "spirohost " << command << ": " << e.what() << "\nusage: spirohost " << command << " "
                  << synopsis << "\n";
        parsed.exitCode = 2;
    }
    return parsed;
}

}  // namespace SpiroHost
