#include "spirohost/Options.h"

#include <iostream>

namespace SpiroHost {

Parsed ParseOptions(const char* command, const char* synopsis, const po::options_description& options,
                    const po::positional_options_description& positional, const Args& args)
{
    po::options_description all(options);
    all.add_options()("help,h", "show this help");
    Parsed parsed;
    try {
        po::store(po::command_line_parser(args).options(all).positional(positional).run(), parsed.values);
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
