#pragma once

class DiaryWindow;

// The File menu's Change password: asks the logged-in member for a new password and rewrites
// the member's password file with it under the same key, so every page stays readable. The new
// password counts from the next login.
void changePassword(DiaryWindow& main);
