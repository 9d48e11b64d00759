#pragma once

#include "diary/Form1Geometry.h"

// Positions and sizes of the find results window's controls in twips, relative to its client
// area.
struct Form3Geometry {
    TwipsRect Command2; // "Close"
    TwipsRect Text1;    // column header
    TwipsRect Command1; // "Open"
    TwipsRect List1;    // result lines
    bool operator==(const Form3Geometry&) const = default;

    // As designed, in a client area of 4680 by 3765 twips.
    static Form3Geometry DesignTime();
    static constexpr double kClientWidth = 4680;
    static constexpr double kClientHeight = 3765;

    // The layout for a window of the given outer size (frame and title bar included): the
    // header and the list follow the width, the list the height; the buttons stay where they
    // are. A size the window is too small to give (it would be negative) is left as it was.
    Form3Geometry Resized(double outerWidth, double outerHeight) const;
};
