#include "support/core/EnglishRegionalSettings.h"
#include "support/core/ExtendedAttributesCheck.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kCheck =
    ::testing::AddGlobalTestEnvironment(new ExtendedAttributesCheck);
[[maybe_unused]] ::testing::Environment* const kEnglish =
    ::testing::AddGlobalTestEnvironment(new EnglishRegionalSettings);

} // namespace
