#pragma once

#include <gtest/gtest.h>

// The tests expect the month names and the AM and PM of English regional settings in every
// stamp and export, whatever the settings of the machine that runs them: the names are fixed
// for the whole run, before the first test.
class EnglishRegionalSettings : public ::testing::Environment {
public:
    void SetUp() override { use(); }
    // Puts the English names back after a test that set others.
    static void use();
};
