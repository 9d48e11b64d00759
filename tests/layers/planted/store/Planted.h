#pragma once

#include "platform/core/Paths.h"
#include <QString>
#include <string>
