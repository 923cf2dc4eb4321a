#include "plot/LumoHtml.h"

#include <vector>

#include "plot/ScriptResources.h"

namespace KVD {

std::string LumoHtml::GetLumoHtml()
{
    static std::string page;
    if (page.empty()) {
        std::vector<char> script;
        std::string mimeType;
        Lumo::GetResource("lumo_local.js", script, mimeType);
        page = "<!doctype html><html> <head>  <script type='text/javascript'>" +
               std::string(script.begin(), script.end()) +
               "  </script>  <style type=\"text/css\">   body { margin: 0px; padding: 0px; }   div { position: "
               "absolute; width: 100%; height: 100%; }  </style> </head> <body>  <div id=\"" +
               kDivId + "\">  </div> </body></html>";
    }
    return page;
}

}  // namespace KVD
