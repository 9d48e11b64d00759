#pragma once

class DiaryWindow;

// "Delete an item...": makes one entry of the page shown unreadable for good. Its line stays
// where it is, so the page keeps its numbering: every character but the spaces becomes "X" and
// the stamp of the moment of deletion follows.
void deleteAnItem(DiaryWindow& form);
