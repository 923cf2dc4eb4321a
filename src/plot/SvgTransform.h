// The transforms of printable SVG: a group's translation and a text's or ellipse's rotation.
#pragma once

#include <optional>
#include <string_view>

#include "graphics/Geometry.h"

namespace KVD {

// "translate(x y)", "translate(x,y)" or "translate(x)" (y 0), numbers with sign and exponent,
// blanks allowed around them. nullopt for any other value, which leaves a group untranslated.
// Throws bad_svg_exception for a number beyond the bounds of plot/SvgNumber.h.
std::optional<Gfx::Point> MatchTranslation(std::string_view value);

// The angle in degrees of "rotate(angle cx cy)", each number an optional sign, digits, an
// optional point and digits; the centre is not used (the element turns about its own anchor or
// centre). nullopt for any other value. Throws bad_svg_exception for an angle that matches but
// is not a number, such as ".".
std::optional<float> MatchRotation(std::string_view value);

// "url(#id)" gives "id"; any other value is the reference itself.
std::string_view ReduceReference(std::string_view value);

}  // namespace KVD
