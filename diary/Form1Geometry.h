#pragma once

// Positions and sizes of the main window's controls in twips, relative to its client area.
struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const TwipsRect&) const = default;
};

struct Form1Geometry {
    TwipsRect Text1;    // page view
    TwipsRect Label1;   // instruction label
    TwipsRect Text2;    // entry box
    TwipsRect Command6; // "<<"
    TwipsRect Command1; // "<"
    TwipsRect Combo1;   // page selector
    TwipsRect Command2; // ">"
    TwipsRect Command5; // ">>"
    TwipsRect Label2;   // caption label
    TwipsRect Command4; // "E&xit"
    TwipsRect Command3; // "&Commit"
    bool operator==(const Form1Geometry&) const = default;

    // As designed, in a client area of 8370 by 5805 twips.
    static Form1Geometry DesignTime();
    static constexpr double kClientWidth = 8370;
    static constexpr double kClientHeight = 5805;
};
