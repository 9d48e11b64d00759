#pragma once

class Form1;

// Connects the main window to the commands of every part of the program: the login window it
// opens, and each File menu item to its command.
void ConnectCommands(Form1& form);
