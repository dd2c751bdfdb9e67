#include "simulator/fault_plan.h"

#include <gtest/gtest.h>

#include "simulator/hart_codes.h"
#include "simulator_test_support.h"

namespace {

using simulator::Fault;

TEST(SimulatorFaultText, ParsesEachKind) {
    struct Case {
        const char* text;
        std::optional<Fault> fault;
    };
    const Case cases[] = {
        {"rc=32", Fault::responseCode(32)},
        {"rc=0x10", Fault::responseCode(16)},
        {"status=0xC2", Fault::communicationStatus(0xC2)},
        {"status=2", Fault::communicationStatus(0x82)},
        {"commerror=line broken", Fault::communicationError("line broken")},
        {"commerror=", Fault::communicationError("")},
        {"noanswer", Fault::noAnswer()},
        {"rc=128", std::nullopt},
        {"rc=256", std::nullopt},
        {"rc=", std::nullopt},
        {"rc=3x", std::nullopt},
        {"status=-1", std::nullopt},
        {"drop", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(simulator::parseFault(c.text), c.fault) << c.text;
}

TEST(SimulatorFaultPlan, NextRequestsComeFirstAndPerCommandRulesCount) {
    simulator::FaultPlan plan;
    plan.onCommand(3, Fault::responseCode(32), 2);
    plan.onNextRequests(2, Fault::noAnswer());
    EXPECT_EQ(plan.take(3), Fault::noAnswer());
    EXPECT_EQ(plan.take(0), Fault::noAnswer());
    EXPECT_EQ(plan.take(0), std::nullopt);
    EXPECT_EQ(plan.take(3), Fault::responseCode(32));
    EXPECT_EQ(plan.take(3), Fault::responseCode(32));
    EXPECT_EQ(plan.take(3), std::nullopt);
    EXPECT_TRUE(plan.empty());
}

TEST(SimulatorFaultPlan, UntilClearedRulesStayAndCanBeRemoved) {
    simulator::FaultPlan plan;
    plan.onCommand(48, Fault::communicationStatus(0x08));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(plan.take(48), Fault::communicationStatus(0x88));
    plan.onCommand(48, Fault::responseCode(6), 1);  // replaces the rule
    EXPECT_EQ(plan.take(48), Fault::responseCode(6));
    EXPECT_EQ(plan.take(48), std::nullopt);
    plan.onCommand(1, Fault::noAnswer());
    plan.clearCommand(1);
    EXPECT_EQ(plan.take(1), std::nullopt);
}

class SimulatorInjectedFaults : public ::testing::Test {
protected:
    void SetUp() override {
        package = simtest::open(simtest::packageFolder("level"), clock);
        ASSERT_NE(package, nullptr);
        package->slave().transact(0, {});
    }
    simulator::HartSlave& slave() { return package->slave(); }
    simulator::DeviceMemory& memory() { return package->device().memory(); }

    simtest::FakeClock clock;
    std::unique_ptr<simulator::SimulatedPackage> package;
};

TEST_F(SimulatorInjectedFaults, ErrorCodeAnswersWithoutCarryingTheCommandOut) {
    slave().faults().onCommand(34, Fault::responseCode(simulator::hart::kBusy), 1);
    const simtest::Bytes request = simtest::floatBytes(7.5f);
    simulator::Answer answer = slave().transact(34, request);
    EXPECT_EQ(answer.kind, simulator::AnswerKind::Reply);
    EXPECT_EQ(answer.responseCode, simulator::hart::kBusy);
    EXPECT_TRUE(answer.data.empty());
    EXPECT_NE(memory().number(2064083964), 7.5);
    answer = slave().transact(34, request);  // the retry goes through
    EXPECT_EQ(answer.responseCode, 0);
    EXPECT_EQ(memory().number(2064083964), 7.5);
}

TEST_F(SimulatorInjectedFaults, WarningCodeAnswersWithTheCommandCarriedOut) {
    slave().faults().onCommand(34, Fault::responseCode(simulator::hart::kSetToNearestValue), 1);
    const simulator::Answer answer = slave().transact(34, simtest::floatBytes(3.0f));
    EXPECT_EQ(answer.responseCode, simulator::hart::kSetToNearestValue);
    ASSERT_EQ(answer.data.size(), 4u);
    EXPECT_EQ(simtest::beFloat(answer.data, 0), 3.0f);
}

TEST_F(SimulatorInjectedFaults, DeviceStatusAccompaniesAnInjectedError) {
    slave().faults().onCommand(1, Fault::responseCode(simulator::hart::kDeviceSpecificError));
    const simulator::Answer answer = slave().transact(1, {});
    EXPECT_EQ(answer.deviceStatus, package->device().deviceStatus());
}

TEST_F(SimulatorInjectedFaults, CommunicationStatusSetsBit7AndCarriesNothing) {
    slave().faults().onNextRequests(1,
                                    Fault::communicationStatus(simulator::hart::kParityError |
                                                               simulator::hart::kRxBufferOverflow));
    const simulator::Answer answer = slave().transact(34, simtest::floatBytes(9.0f));
    EXPECT_TRUE(answer.isCommunicationStatus());
    EXPECT_EQ(answer.responseCode, 0xC2);
    EXPECT_EQ(answer.deviceStatus, 0);
    EXPECT_TRUE(answer.data.empty());
    EXPECT_NE(memory().number(2064083964), 9.0);
}

TEST_F(SimulatorInjectedFaults, CommunicationErrorAndSilenceForTheNextRequests) {
    slave().faults().onNextRequests(1, Fault::communicationError("no carrier"));
    slave().faults().onNextRequests(2, Fault::noAnswer());
    simulator::Answer answer = slave().transact(3, {});
    EXPECT_EQ(answer.kind, simulator::AnswerKind::CommunicationError);
    EXPECT_EQ(answer.communicationError, "no carrier");
    EXPECT_EQ(slave().transact(0, {}).kind, simulator::AnswerKind::NoAnswer);
    EXPECT_EQ(slave().transact(34, simtest::floatBytes(9.0f)).kind,
              simulator::AnswerKind::NoAnswer);
    EXPECT_NE(memory().number(2064083964), 9.0);
    answer = slave().transact(3, {});
    EXPECT_EQ(answer.kind, simulator::AnswerKind::Reply);
    EXPECT_EQ(answer.responseCode, 0);
    EXPECT_EQ(slave().requestCount(), 5u);
}

}  // namespace
