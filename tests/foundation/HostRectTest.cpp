// The drawing layer's rectangle and the host boundary's, included together: one tagRECT.
#include <gtest/gtest.h>

#include <cstring>

#include "WindowTypes.h"
#include "foundation/draw/TRect.h"
#include "IMessage.h"

namespace {

int32_t Area(const tagRECT* r) { return (r->right - r->left) * (r->bottom - r->top); }

TEST(HostRect, TheDrawingRectangleIsTheHostRectangle)
{
    const TRect drawn(2, 3, 12, 23);
    EXPECT_EQ(Area(&drawn), 200);  // a TRect goes where the host takes a tagRECT
    tagRECT host{};
    std::memcpy(&host, &drawn, sizeof host);
    EXPECT_EQ(host.left, 2);
    EXPECT_EQ(host.top, 3);
    EXPECT_EQ(host.right, 12);
    EXPECT_EQ(host.bottom, 23);
    EXPECT_EQ(TRect(host), drawn);
    EXPECT_EQ(RectToNSRect(host), (Gfx::Rect{2, 3, 10, 20}));
}

}  // namespace
