#pragma once

class DiaryWindow;

// "Delete exported pages...": offers every exported text file of the member folder by name, in
// listing order, and deletes the ones the member agrees to. The member's own files are hidden,
// so they are never offered.
void deleteExportedPages(DiaryWindow& form);
