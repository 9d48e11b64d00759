#pragma once

class Form1;

// "Export all pages": writes the fifteen pages in order, each as the page view shows it, to one
// text file in the member folder, and opens it in the text editor. The page shown before is
// shown again afterwards.
void mnuExportAll_Click(Form1& form);
