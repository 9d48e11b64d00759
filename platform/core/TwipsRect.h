#pragma once

// A control's place in its window as the layouts give it: left, top, width and height in twips
// (1440 to the inch), relative to the client area.
struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const TwipsRect&) const = default;
};
