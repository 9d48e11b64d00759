#pragma once

#include "platform/core/FileError.h"

// Protecting or unprotecting a diary failed, and what was converted could not all be put back
// (the disk is full, say): the member folder is left under its conversion mark, as a crash
// leaves it. Both forms read meanwhile, and the next login finishes the conversion. The path and
// reason are those of the failure that stopped it.
class ConversionLeftUnderWay : public platform::FileError {
public:
    explicit ConversionLeftUnderWay(const platform::FileError& failure) : platform::FileError(failure) {}
};
