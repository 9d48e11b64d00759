#pragma once

class DiaryWindow;

// The File menu's Unprotect my diary (for a member whose diary is protected): asks once, then
// gives the member's files back their classic form under the busy pointer. The password stays
// the one the member logs in with.
void unprotectMyDiary(DiaryWindow& main);
