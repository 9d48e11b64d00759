#include "support/core/ExtendedAttributesCheck.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kCheck =
    ::testing::AddGlobalTestEnvironment(new ExtendedAttributesCheck);

} // namespace
