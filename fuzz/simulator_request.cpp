// Feeds arbitrary request bytes to the simulated devices. Input: one byte
// choosing the device (low two bits: positioner, level, or a small generic
// description), whether written values go unchecked (bit 2) and the busy
// polls (the other bits), then records:
//   0xFF s        the clock moves on by s seconds
//   0xFE f        a fault for the next request, made from f
//   c n b1 .. bn  command c with n request bytes (cut at the end of the input)
// Every answer must fit its request: a success or warning carries exactly the
// command's reply bytes, an error none, a communication status bit 7 and no
// data; the data bytes survive a trip through their hexadecimal text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "simulator/description_device.h"
#include "simulator/hart_codes.h"
#include "simulator/hart_slave.h"
#include "simulator/hex_text.h"
#include "simulator/simulated_package.h"
#include "simulator/simulator_profile.h"

namespace {

using namespace simulator;

constexpr const char* kGenericDescription = R"(<?xml version="1.0"?>
<device_description xmlns="http://hartdtm.invalid/device_description">
 <device_interface bus_type="hart"><block>
  <parameter reference_id="1"><data_type type_name="unsigned8"/><restriction><default><constant>254</constant></default></restriction></parameter>
  <parameter reference_id="2"><data_type type_name="float"/><restriction><lower_limit><constant>-5</constant></lower_limit></restriction></parameter>
  <parameter reference_id="3"><data_type type_name="packed_ascii"><sized_type size="7"/></data_type></parameter>
  <parameter reference_id="4"><data_type type_name="complex"/>
   <component reference_id="5"><data_type type_name="signed16"/></component>
   <component reference_id="6"><data_type type_name="bitmap"><sized_type size="3"/></data_type>
    <component reference_id="7"><data_type type_name="bit_range"><bit_range_type lower_index="20" upper_index="23"/></data_type></component>
   </component>
  </parameter>
  <parameter reference_id="8"><data_type type_name="date"/></parameter>
  <parameter reference_id="9"><data_type type_name="pointer"/></parameter>
  <parameter reference_id="10"><data_type type_name="string"><sized_type size="5"/></data_type><addressing><code_hart>2</code_hart></addressing></parameter>
  <action_hart><addressing><code_hart>0</code_hart></addressing><reply>
   <action_item referenced_parameter="1" position="0" size="1"/><action_item referenced_parameter="4" position="1" size="9"/></reply></action_hart>
  <action_hart><addressing><code_hart>2</code_hart></addressing>
   <query><action_item referenced_parameter="2"/><action_item referenced_parameter="3"/><action_item referenced_parameter="4"/>
    <action_item referenced_parameter="8"/><action_item referenced_parameter="9" reference_type="pointer_value"/></query>
   <reply><action_item referenced_parameter="9" position="0" size="5"/><action_item referenced_parameter="7" position="3" size="200"/></reply></action_hart>
  <action_hart><addressing><code_hart>3</code_hart></addressing><query><action_item referenced_parameter="7"/><action_item referenced_parameter="10"/></query></action_hart>
 </block></device_interface>
</device_description>)";

struct Template {
    std::shared_ptr<const DeviceDescription> description;
    std::optional<DeviceMemory> memory;
};

// Descriptions and profiles are read once; every input starts from a copy.
Template loadTemplate(int which) {
    Template t;
    if (which == 2) {
        DescriptionLoad load = loadDescriptionText(kGenericDescription);
        if (!load) std::abort();
        t.description = load.description;
        t.memory.emplace(t.description);
        t.memory->applyDefaults();
        return t;
    }
    const std::string folder =
        std::string(HARTDTM_SOURCE_ROOT) + (which == 0 ? "/devices/positioner" : "/devices/level");
    ProfileLoad profile = loadProfileFile(folder + "/" + kProfileFileName);
    if (!profile) std::abort();
    DescriptionLoad load = loadDescriptionFile(folder + "/" + profile.profile->descriptionFile);
    if (!load) std::abort();
    t.description = load.description;
    t.memory.emplace(t.description);
    t.memory->applyDefaults();
    applyProfile(*profile.profile, *t.memory);
    return t;
}

const Template& templateFor(int which) {
    static const Template templates[3] = {loadTemplate(0), loadTemplate(1), loadTemplate(2)};
    return templates[which];
}

Fault faultFrom(std::uint8_t f) {
    switch (f % 4) {
        case 0:
            return Fault::responseCode(static_cast<std::uint8_t>(f >> 2));
        case 1:
            return Fault::communicationStatus(f);
        case 2:
            return Fault::communicationError(std::string(f % 7, 'x'));
        default:
            return Fault::noAnswer();
    }
}

void check(bool condition) {
    if (!condition) __builtin_trap();
}

void checkAnswer(const DescriptionDevice& device, std::uint8_t command, const Answer& answer) {
    check(toHexText(answer.data).size() == 2 * answer.data.size());
    check(fromHexText(toHexText(answer.data)) == answer.data);
    if (answer.kind != AnswerKind::Reply) {
        check(answer.data.empty());
        return;
    }
    if (answer.isCommunicationStatus()) {
        check(answer.data.empty() && answer.deviceStatus == 0);
        return;
    }
    const CommandInfo* info = device.description().command(command);
    if (answer.responseCode == hart::kSuccess || hart::isWarning(answer.responseCode)) {
        check(info != nullptr && answer.data.size() == info->replySize);
    } else {
        check(answer.data.empty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int which = data[0] % 3;
    const Template& t = templateFor(which);
    std::int64_t now = 0;
    PackageOptions options;
    options.busyPolls = data[0] >> 3;
    std::unique_ptr<DeviceBehaviour> behaviour = behaviourFor(*t.memory, options);
    auto device = std::make_unique<DescriptionDevice>(*t.memory, std::move(behaviour),
                                                      [&now] { return now; },
                                                      DeviceOptions{(data[0] & 4) == 0});
    const DescriptionDevice& view = *device;
    HartSlave slave(std::move(device));

    std::size_t i = 1;
    while (i < size) {
        const std::uint8_t op = data[i++];
        if (op == 0xFF || op == 0xFE) {
            if (i >= size) break;
            const std::uint8_t argument = data[i++];
            if (op == 0xFF) {
                now += static_cast<std::int64_t>(argument) * 1000;
            } else {
                slave.faults().onNextRequests(1, faultFrom(argument));
            }
            continue;
        }
        const std::size_t length = i < size ? data[i++] : 0;
        const std::size_t take = std::min(length, size - i);
        const Answer answer = slave.transact(op, {data + i, take});
        i += take;
        checkAnswer(view, op, answer);
    }
    return 0;
}
