// The envelope, one control step at a time (every step is one 2 ms tick).
#include "modules/MoEgAR.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/FakeModuleHost.h"

namespace {

using audio::MoEgAR;

class Envelope : public testing::Test {
  protected:
    Envelope() {
        envelope.gate = gate;
        envelope.attack = &attack;
        envelope.release = &release;
        host.active[0] = 1;
        envelope.parameterChanged(0, 0.f);
    }
    void set(float attackValue, float releaseValue) {
        attack.store(attackValue);
        release.store(releaseValue);
        envelope.parameterChanged(0, 0.f);
    }
    void steps(int n) {
        for (int i = 0; i < n; ++i)
            envelope.process(88, 1);
    }
    float level() const { return envelope.levels()[0]; }

    testsupport::FakeModuleHost host;
    MoEgAR envelope{host};
    float gate[8] = {};
    audio::ParameterValue attack{0.f}, release{0.f};
};

TEST_F(Envelope, StartsFromItsSilentTiming) {
    MoEgAR unbound(host);
    EXPECT_EQ(unbound.attackTicks(), 1);
    EXPECT_NEAR(unbound.releaseFactor(), 0.954993f, 1e-6f);
    host.active[1] = 1;
    unbound.process(88, 1);
    EXPECT_EQ(unbound.levels()[1], 0.f);
}

TEST_F(Envelope, AttackLengthsFollowAttackAndScaleByVelocity) {
    gate[0] = 1.f;
    steps(1);
    EXPECT_EQ(level(), 1.f);  // Attack 0: full after the first step

    set(0.5f, 0.f);
    EXPECT_EQ(envelope.attackTicks(), 64);
    gate[0] = 0.f;
    steps(2000);  // released to silence and back to idle
    gate[0] = 64.f / 127.f;
    steps(32);
    EXPECT_NEAR(level(), 0.5f * 64.f / 127.f, 1e-5);
    steps(32);
    EXPECT_EQ(envelope.stage(0), MoEgAR::kHold);
    steps(100);
    EXPECT_NEAR(level(), 0.503937f, 1e-5);  // holds at the velocity level
    set(1.f, 0.f);
    EXPECT_EQ(envelope.attackTicks(), 4096);
}

TEST_F(Envelope, ReleaseFallsByItsRatioEvery100Ticks) {
    gate[0] = 1.f;
    steps(1);
    gate[0] = 0.f;
    steps(100);
    EXPECT_NEAR(level(), 0.01f, 1e-4);  // Release 0: -40 dB per 0.2 s
    int more = 0;
    while (level() != 0.f && more < 5000) {
        steps(1);
        ++more;
    }
    EXPECT_NEAR(100 + more, 1000, 5);  // about 2 s to the floor

    set(0.f, 0.2f);
    EXPECT_NEAR(std::pow(envelope.releaseFactor(), 100.f), 0.188f, 1e-4);
}

TEST_F(Envelope, ReleasedVoicesAreNotTouchedOnceInactive) {
    gate[0] = 1.f;
    steps(1);
    host.active[0] = 0;
    gate[0] = 0.f;
    steps(10);
    EXPECT_EQ(level(), 1.f);
}

TEST_F(Envelope, ARestruckNoteRestartsFromZeroAfterHold) {
    gate[0] = 1.f;
    steps(1);
    gate[0] = 0.f;
    steps(10);
    set(0.5f, 0.f);
    gate[0] = 1.f;
    steps(1);
    EXPECT_NEAR(level(), 1.f / 64.f, 1e-6);
}

TEST_F(Envelope, AnInterruptedAttackContinuesFromTheDecayedLevel) {
    set(0.5f, 0.f);
    gate[0] = 1.f;
    steps(32);  // half way: 0.5
    gate[0] = 0.f;
    steps(100);  // decays to 0.005, still in attack
    EXPECT_EQ(envelope.stage(0), MoEgAR::kAttack);
    gate[0] = 1.f;
    steps(1);
    EXPECT_NEAR(level(), 0.005f + 1.f / 64.f, 1e-5);
    steps(31);  // the remaining count ends the attack
    EXPECT_EQ(envelope.stage(0), MoEgAR::kHold);
}

TEST_F(Envelope, ShorteningTheAttackEndsItAtTheNextStep) {
    set(0.5f, 0.f);
    gate[0] = 1.f;
    steps(40);
    set(0.25f, 0.f);  // 8 ticks: the counter is already past
    EXPECT_EQ(envelope.attackTicks(), 8);
    steps(1);
    EXPECT_EQ(envelope.stage(0), MoEgAR::kHold);
}

}  // namespace
