// Images of the plug-in's bundle (Resources and its folders, PNG drawn from the images' SVG
// sources at build time), found by name as the platform's named images are.
#pragma once

#include <string>

#include "appkit/NamedImage.h"

// The image of that name (".png" may be left out); the platform's placeholder when neither the
// bundle nor the process's image folders have it.
AppKit::NamedImage KVDGetMyBundleImage(const std::string& name);
