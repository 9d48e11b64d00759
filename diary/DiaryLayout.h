#pragma once

#include "diary/DiaryGeometry.h"

// Where the main window's controls go for an outer window size of outerWidth by outerHeight
// twips (frame, title bar and menu bar included), starting from their present geometry. The
// page view takes six tenths of the height, the entry box what remains above the navigation
// row, both text boxes follow the width, and Commit and Exit keep to the right end of the row.
// A width or height that would come out negative (a very small or minimised window) is left
// as it is, and the rest of the layout still follows.
DiaryGeometry diaryLayout(double outerWidth, double outerHeight, DiaryGeometry current);
