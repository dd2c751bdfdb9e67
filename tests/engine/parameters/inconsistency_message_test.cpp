#include "engine/parameters/inconsistency_message.h"

#include <gtest/gtest.h>

#include "model_fixture.h"

namespace engine::testing {
namespace {

std::string translate(std::string_view key) {
    if (key == "inconsistent_data_help") return "value out of range";
    if (key == "pv") return "Primary value";
    return std::string(key);
}

TEST(ParameterInconsistency, LimitsAreScaledAndWrittenWithTheirDecimals) {
    LoadedModel model;
    model.load();
    EXPECT_EQ(inconsistencyMessage(model.at(100), translate),
              "Primary value : value out of range [0 mA to 100 mA]");
    // Scaling 2.5, unit "mA", range [0 to 10].
    EXPECT_EQ(inconsistencyMessage(model.at(125), translate),
              "scaled : value out of range [0 mA to 25 mA]");
    model.at(125).setRange("[0 to 10][0.4 to 0.5]");
    EXPECT_EQ(inconsistencyMessage(model.at(125), translate),
              "scaled : value out of range [0 mA to 25 mA] [1 mA to 1.250 mA]");
    EXPECT_EQ(inconsistencyMessage(model.at(122), translate), "switch : value out of range");
}

}  // namespace
}  // namespace engine::testing
