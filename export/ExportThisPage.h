#pragma once

class DiaryWindow;

// "Export this page": writes the page shown, under a header naming the member and the moment,
// to a text file in the member folder, and opens it in the text editor.
void exportThisPage(DiaryWindow& form);
