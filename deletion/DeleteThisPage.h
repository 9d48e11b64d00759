#pragma once

class DiaryWindow;

// "Delete this page": after two questions, empties the page file of the page shown. The file
// stays (hidden, zero length) and the page keeps its caption.
void deleteThisPage(DiaryWindow& form);
