#include "trace/PreTriggerBackground.h"

namespace OrrelDraw {
namespace {

std::function<std::unique_ptr<DrawPreTriggerBackgroundBase>()>& Maker()
{
    static std::function<std::unique_ptr<DrawPreTriggerBackgroundBase>()> maker;
    return maker;
}

TColor& NoDataColour()
{
    static TColor colour(0xE6E6, 0xE6E6, 0xE6E6);
    return colour;
}

}  // namespace

std::unique_ptr<DrawPreTriggerBackgroundBase> DrawPreTriggerBackgroundBase::sCreate()
{
    return Maker() ? Maker()() : nullptr;
}

void DrawPreTriggerBackgroundBase::SetMaker(std::function<std::unique_ptr<DrawPreTriggerBackgroundBase>()> maker)
{
    Maker() = std::move(maker);
}

TColor gGetNoDataBackgroundColor()
{
    return NoDataColour();
}

void gSetNoDataBackgroundColor(const TColor& colour)
{
    NoDataColour() = colour;
}

}  // namespace OrrelDraw
