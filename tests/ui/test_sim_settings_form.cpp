// The Simulate dialog's settings form, built from the field table: every
// setting it is given comes back out of its fields, whole and unchanged.
#include "simulate/simulate_dialog.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <random>

namespace {

using vantel::kSettingFields;

TEST(SimSettingsForm, EverySettingGivenComesBackOutOfTheFields) {
    QWidget parent;
    SimulateDialog dialog(vantel::sim::Settings{}, &parent);
    std::mt19937 random(31);
    for (int round = 0; round < 60; ++round) {
        vantel::Settings given;
        for (const vantel::SettingField& f : kSettingFields)
            f.setValue(given, std::uniform_int_distribution<int>(f.min, f.max)(random));
        dialog.setSettings(given);
        vantel::sim::Config config;
        ASSERT_TRUE(dialog.config(&config, nullptr));
        for (const vantel::SettingField& f : kSettingFields)
            EXPECT_EQ(f.value(config.settings), f.value(given)) << f.name.name << " " << round;
        EXPECT_EQ(config.settings.bettingSystem, given.bettingSystem);
    }
}

} // namespace
