// The script calls the host sends to a plot in its page. Every text argument is written as an
// escaped script string, so that no message or id can break or extend the script.
#pragma once

#include <string>

namespace Lumo {

// "lumo.get_plot(<plotId>).setup(<literal>);"; false, out unchanged, when the markup does not
// parse.
bool GetSetMarkupJS(const std::string& markup, const std::string& plotId, std::string& out);
// The same, keeping the parser's message in error when the markup does not parse.
bool GetSetMarkupJS(const std::string& markup, const std::string& plotId, std::string& out, std::string& error);

// "lumo.get_plot(<plotId>).show_error(<message>);"
bool GetShowErrorJS(const std::string& message, const std::string& plotId, std::string& out);

// "lumo.get_plot(<plotId>).copy(<kind>);": asks the page for the plot's SVG; "print" for a print job.
bool GetSVGJS(const std::string& plotId, const std::string& kind, std::string& out);

}  // namespace Lumo
