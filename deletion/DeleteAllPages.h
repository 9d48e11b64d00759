#pragma once

class DiaryWindow;

// "Delete all pages": after two questions, empties the fifteen page files of the member in page
// order. The files stay (hidden, zero length) and the captions are kept. Clearing stops at the
// first page that cannot be cleared, leaving it and the later pages as they were.
void deleteAllPages(DiaryWindow& form);
