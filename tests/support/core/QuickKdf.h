#pragma once

#include "store/KdfParameters.h"

// The cheapest key derivation libsodium allows, so that tests can protect diaries by the
// hundred. The program never writes it: it asks KdfParameters::forNewDiary alone.
KdfParameters quickKdf();
