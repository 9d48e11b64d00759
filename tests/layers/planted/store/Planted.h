#pragma once

#include <QString>
#include <string>
#include "platform/core/Paths.h"
