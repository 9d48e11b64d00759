#pragma once

#include "search/FindCommand.h"
#include "../search/FindCommand.h"
#include "store/Planted.h"
#include "platform/core/Paths.h"
#include <QString>
#include <string>
