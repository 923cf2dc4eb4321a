#include "spirohost/Options.h"

#include <cstdlib>
#include <iostream>

#include "foundation/XKVD.h"

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

}  // namespace

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
        std::cerr << "spirohost " << command << ": " << e.what() << "\nusage: spirohost " << command << " "
                  << synopsis << "\n";
        parsed.exitCode = 2;
    }
    return parsed;
}

}  // namespace SpiroHost
