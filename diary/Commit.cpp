#include "diary/Form1.h"

void Form1::Command3_Click() {
}
