#pragma once

#include <gtest/gtest.h>

// The hidden mark of member files is an extended attribute, which some file systems (tmpfs of
// older kernels, some network folders) do not store. Nearly every test looks at the mark, so on
// such a file system the test programs say why once and skip, rather than fail by the dozen.
class ExtendedAttributesCheck : public ::testing::Environment {
public:
    void SetUp() override;
};
