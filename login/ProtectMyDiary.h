#pragma once

class DiaryWindow;

// The File menu's Protect my diary (for a member whose diary is classic): says what follows,
// asks twice for the password that is to protect the diary, masked, and converts the member's
// files under the busy pointer. From then on that password logs the member in.
void protectMyDiary(DiaryWindow& main);
