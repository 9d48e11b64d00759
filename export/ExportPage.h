#pragma once

class Form1;

// "Export this page": writes the page shown, under a header naming the member and the moment,
// to a text file in the member folder, and opens it in the text editor.
void mnuExportPage_Click(Form1& form);
