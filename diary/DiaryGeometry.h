#pragma once

#include "platform/core/TwipsRect.h"

// Positions and sizes of the main window's controls in twips, relative to its client area.
struct DiaryGeometry {
    TwipsRect pageView;           // page view
    TwipsRect instructionLabel;   // instruction label
    TwipsRect entryBox;           // entry box
    TwipsRect firstPageButton;    // "<<"
    TwipsRect previousPageButton; // "<"
    TwipsRect pageSelector;       // page selector
    TwipsRect nextPageButton;     // ">"
    TwipsRect lastPageButton;     // ">>"
    TwipsRect captionLabel;       // caption label
    TwipsRect exitButton;         // "E&xit"
    TwipsRect commitButton;       // "&Commit"
    bool operator==(const DiaryGeometry&) const = default;

    // As designed, in a client area of 8370 by 5805 twips.
    static DiaryGeometry designTime();
    static constexpr double kClientWidth = 8370;
    static constexpr double kClientHeight = 5805;
};
