#include "login/Form2.h"

void Form2::Command3_Click() {
}
