#pragma once

class DiaryWindow;

// "Delete user": after its questions, deletes every file of the logged-in member and the member
// folder, then returns to the login window, which no longer lists the member.
void deleteUser(DiaryWindow& form);
