#pragma once

class DiaryWindow;

// Connects the main window to the commands of every part of the program: the login window it
// opens, and each File menu item and button to its command once the window has made them.
void connectCommands(DiaryWindow& form);
