#pragma once

#include "../search/FindCommand.h"
#include "platform/core/Paths.h"
#include "search/FindCommand.h"
#include "store/Planted.h"
#include <QString>
#include <string>
