#pragma once

class Form1;

// "Delete user": after its questions, deletes every file of the logged-in member and the member
// folder, then returns to the login window, which no longer lists the member.
void mnuDelUser_Click(Form1& form);
