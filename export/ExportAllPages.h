#pragma once

class DiaryWindow;

// "Export all pages": writes the fifteen pages in order, each as the page view shows it, to one
// text file in the member folder, and opens it in the text editor. The pages are read from the
// member's files; the diary window keeps the page it shows.
void exportAllPages(DiaryWindow& form);
