#pragma once

class DiaryWindow;

// The File menu's Change password: asks the logged-in member for a new password and rewrites
// the member's password file with it under the same key, so every page stays readable. The new
// password counts from the next login. A protected diary's member types the new password twice,
// masked, and only the password file is written again: the pages stay as they are.
void changePassword(DiaryWindow& main);
