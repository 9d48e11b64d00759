#pragma once

#include "platform/core/TwipsRect.h"

// Positions and sizes of the login window's controls in twips: the controls of the member login
// frame relative to the frame, the others relative to the client area. The window has a fixed
// size, so this is its only layout.
struct LoginGeometry {
    TwipsRect loginFrame;       // "Member login"
    TwipsRect memberSelector;   // member names
    TwipsRect passwordBox;      // password
    TwipsRect exitButton;       // "E&xit"
    TwipsRect addMemberButton;  // "&Add user..."
    TwipsRect okButton;         // "&OK"
    TwipsRect memberLabel;      // "Username"
    TwipsRect passwordLabel;    // "Password"
    TwipsRect titleLabel;       // product title
    TwipsRect descriptionLabel; // description
    TwipsRect contactLabel;     // contact line
    bool operator==(const LoginGeometry&) const = default;

    // As designed, in a client area of 4320 by 3450 twips.
    static LoginGeometry designTime();
    static constexpr double kClientWidth = 4320;
    static constexpr double kClientHeight = 3450;
};
