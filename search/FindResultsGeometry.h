#pragma once

#include "platform/core/TwipsRect.h"

// Positions and sizes of the find results window's controls in twips, relative to its client
// area.
struct FindResultsGeometry {
    TwipsRect closeButton;  // "Close"
    TwipsRect columnHeader; // column header
    TwipsRect openButton;   // "Open"
    TwipsRect resultList;   // result lines
    bool operator==(const FindResultsGeometry&) const = default;

    // As designed, in a client area of 4680 by 3765 twips.
    static FindResultsGeometry designTime();
    static constexpr double kClientWidth = 4680;
    static constexpr double kClientHeight = 3765;

    // The layout for a window of the given outer size (frame and title bar included): the
    // header and the list follow the width, the list the height; the buttons stay where they
    // are. A size the window is too small to give (it would be negative) is left as it was.
    FindResultsGeometry resized(double outerWidth, double outerHeight) const;
};
