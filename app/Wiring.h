#pragma once

class DiaryWindow;

// Connects the main window to the commands of every part of the program: the login window it
// opens, and each File menu item to its command.
void connectCommands(DiaryWindow& form);
