#pragma once

class DiaryWindow;

// "Export all pages": writes the fifteen pages in order, each as the page view shows it, to one
// text file in the member folder, and opens it in the text editor. The page shown before is
// shown again afterwards.
void exportAllPages(DiaryWindow& form);
