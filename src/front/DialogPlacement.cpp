#include "front/DialogPlacement.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace front {

namespace {

// The rectangle moved (and, if it must, cut) so that it lies on the screen.
wxRect OnScreen(wxRect r, const wxRect& screen)
{
    r.width = std::min(r.width, screen.width);
    r.height = std::min(r.height, screen.height);
    r.x = std::clamp(r.x, screen.x, screen.GetRight() + 1 - r.width);
    r.y = std::clamp(r.y, screen.y, screen.GetBottom() + 1 - r.height);
    return r;
}

} // namespace

wxRect PlaceObjectDialog(const wxRect& setUp, wxSize best, wxSize minimum, const wxRect& screen)
{
    best.x = std::max(best.x, minimum.x);
    best.y = std::max(best.y, minimum.y);
    const int besideX = setUp.GetRight() + 1 + kWindowGap;
    const int roomBeside = screen.GetRight() + 1 - besideX;
    if (roomBeside >= minimum.x) {
        const int roomDown = screen.GetBottom() + 1 - setUp.y;
        const int height = std::max(minimum.y, std::min(std::max(best.y, setUp.height), roomDown));
        return OnScreen({besideX, setUp.y, std::min(best.x, roomBeside), height}, screen);
    }
    const int belowY = setUp.GetBottom() + 1 + kWindowGap;
    const int roomBelow = screen.GetBottom() + 1 - belowY;
    if (roomBelow >= minimum.y)
        return OnScreen({setUp.x, belowY, best.x, std::min(best.y, roomBelow)}, screen);
    // No room beside or below: against the screen's right edge from the settings' top down, cut
    // to the room there. It covers part of the settings dialog, never the bars above it.
    const int roomDown = screen.GetBottom() + 1 - setUp.y;
    return OnScreen({besideX, setUp.y, best.x, std::min(best.y, roomDown)}, screen);
}

wxRect PlaceBelowOrAtSide(const wxRect& main, const wxRect& above, wxSize size, int minHeight,
                          const wxRect& screen)
{
    const int top = above.GetBottom() + 1 + kWindowGap;
    const int room = screen.GetBottom() + 1 - top;
    if (room >= std::max(minHeight, 1)) return PlaceAtSide(main, top, {size.x, std::min(size.y, room)}, screen);
    // No room below: to its left, over the view rather than over the other window; at the view's
    // left edge where it has the room, so that the room between the two is left to a third.
    const int besideAbove = above.x - kWindowGap - size.x;
    const int left = std::max(screen.x, main.x + kWindowGap) <= besideAbove ? std::max(screen.x, main.x + kWindowGap)
                                                                               : besideAbove;
    if (left >= screen.x) return OnScreen({left, above.y, size.x, size.y}, screen);
    return PlaceAtSide(main, above.y, size, screen);
}

wxRect PlaceClearOf(const wxRect& side, const wxRect& main, const wxRect& keep, int minHeight, const wxRect& screen)
{
    if (keep.IsEmpty() || !side.Intersects(keep)) return side;
    wxRect below(main.x, main.GetBottom() + 1 + kWindowGap, side.width, side.height);
    below.height = std::min(below.height, screen.GetBottom() + 1 - below.y);
    if (below.height >= std::max(minHeight, 1)) {
        below = OnScreen(below, screen);
        if (below.Intersects(keep)) below.x = std::max(screen.x, keep.x - kWindowGap - below.width);
        if (!below.Intersects(keep)) return below;
    }
    const wxRect left = OnScreen({keep.x - kWindowGap - side.width, side.y, side.width, side.height}, screen);
    return left.Intersects(keep) ? side : left;
}

wxRect PlaceBelowOthers(const wxRect& side, const std::vector<wxRect>& others, const wxRect& keep, int minHeight,
                        const wxRect& screen)
{
    const auto clear = [&](const wxRect& r) {
        return !r.Intersects(keep) && std::none_of(others.begin(), others.end(),
                                                   [&r](const wxRect& other) { return r.Intersects(other); });
    };
    if (std::none_of(others.begin(), others.end(), [&side](const wxRect& other) { return side.Intersects(other); }))
        return side;
    for (const wxRect& other : others) {
        if (!side.Intersects(other)) continue;
        wxRect under(other.x, other.GetBottom() + 1 + kWindowGap, side.width, side.height);
        under.height = std::min(under.height, screen.GetBottom() + 1 - under.y);
        if (under.height < std::max(minHeight, 1)) continue;
        under = OnScreen(under, screen);
        if (clear(under)) return under;
    }
    return side;
}

wxRect PlaceInFreeRoom(const wxRect& want, int minHeight, const std::vector<wxRect>& taken, const wxRect& screen)
{
    const auto clear = [&taken](const wxRect& r) {
        return std::none_of(taken.begin(), taken.end(), [&r](const wxRect& t) { return r.Intersects(t); });
    };
    if (clear(want)) return want;
    std::vector<int> xs = {want.x, screen.x, screen.GetRight() + 1 - want.width};
    std::vector<int> ys = {want.y, screen.y};
    for (const wxRect& t : taken) {
        xs.insert(xs.end(), {t.GetRight() + 1 + kWindowGap, t.x - kWindowGap - want.width, t.x});
        ys.insert(ys.end(), {t.GetBottom() + 1 + kWindowGap, t.y});
    }
    const int least = std::max(std::min(minHeight, want.height), 1);
    std::optional<wxRect> best;
    long bestDistance = 0;
    for (const int x : xs) {
        if (x < screen.x || x + want.width > screen.GetRight() + 1) continue;
        for (const int y : ys) {
            if (y < screen.y) continue;
            // As tall as wanted, down to the screen's bottom or to the first window below it.
            int bottom = std::min(y + want.height, screen.GetBottom() + 1);
            for (const wxRect& t : taken)
                if (t.x < x + want.width && x < t.GetRight() + 1 && t.y >= y)
                    bottom = std::min(bottom, t.y - kWindowGap);
            const wxRect r(x, y, want.width, bottom - y);
            if (r.height < least || !clear(r)) continue;
            const long distance = std::labs(long{x} - want.x) + std::labs(long{y} - want.y);
            if (!best || distance < bestDistance) {
                best = r;
                bestDistance = distance;
            }
        }
    }
    return best.value_or(want);
}

wxRect PlaceAtSide(const wxRect& main, int top, wxSize size, const wxRect& screen)
{
    wxRect r(main.GetRight() + 1 + kWindowGap, top, size.x, size.y);
    if (r.GetRight() > screen.GetRight()) r.x = screen.GetRight() + 1 - r.width;
    return OnScreen(r, screen);
}

} // namespace front
