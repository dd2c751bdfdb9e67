#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "document_fixture.h"
#include "engine/documents/document_answers.h"
#include "engine/documents/parameter_document.h"

namespace engine {
namespace {

using testing::DocumentFixture;
using testing::readBack;
using testing::validationFailure;

std::string numberVariable(const std::string& name, const std::string& number) {
    return "<fdt:DtmVariable name=\"" + name +
           "\"><fdt:Value><fdt:Variant dataType=\"float\"><fdt:NumberData number=\"" + number +
           "\"/></fdt:Variant></fdt:Value></fdt:DtmVariable>";
}

std::string stringVariable(const std::string& name, const std::string& text) {
    return "<fdt:DtmVariable name=\"" + name +
           "\"><fdt:Value><fdt:Variant dataType=\"ascii\"><fdt:StringData string=\"" + text +
           "\"/></fdt:Variant></fdt:Value></fdt:DtmVariable>";
}

std::string binaryVariable(const std::string& name, const std::string& binData) {
    return "<fdt:DtmVariable name=\"" + name +
           "\"><fdt:Value><fdt:Variant dataType=\"dtmSpecific\"><fdt:BinaryVariable binData=\"" +
           binData + "\"/></fdt:Variant></fdt:Value></fdt:DtmVariable>";
}

// An update document; device holds the attributes of DtmDevice.
std::string update(const std::string& variables, const std::string& device = "",
                   const std::string& bus = "") {
    std::string text =
        "<FDT xmlns=\"x-schema:DTMParameterSchema.xml\" "
        "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
        "<DtmDevice" +
        device + ">";
    if (!bus.empty())
        text += "<BusInformation><MasterSlaveBus busAddress=\"" + bus + "\"/></BusInformation>";
    text += "<ExportedVariables><fdt:DtmVariables>" + variables +
            "</fdt:DtmVariables></ExportedVariables></DtmDevice></FDT>";
    return text;
}

class ParameterUpdateTest : public ::testing::Test {
protected:
    ParameterUpdateResult apply(const std::string& document, int32_t userLevel = 3) {
        EXPECT_EQ(validationFailure(document), "") << document;
        ParameterUpdater updater(fixture_.sources());
        return updater.apply(document, userLevel, lock_);
    }

    std::string value(ParameterId id) { return fixture_.at(id).getValueText(kDisplayMode); }

    std::string getParameters() {
        const InformationDocumentBuilder information(fixture_.sources());
        return ParameterDocumentBuilder(information).build();
    }

    DocumentFixture fixture_;
    int lockRequests_ = 0;
    bool lockGranted_ = true;
    std::function<bool()> lock_ = [this] {
        ++lockRequests_;
        return lockGranted_;
    };
};

TEST_F(ParameterUpdateTest, WithoutTagTheTagStays) {
    EXPECT_EQ(apply(update(numberVariable("pv", "3.25"))), ParameterUpdateResult::Applied);
    EXPECT_EQ(fixture_.model->tag(), "TT101");
    EXPECT_EQ(value(200), "3.2500000000");
    EXPECT_EQ(lockRequests_, 1);
}

TEST_F(ParameterUpdateTest, TagAndBusAddress) {
    EXPECT_EQ(apply(update("", " fdt:tag=\"NEWTAG\"", "12")), ParameterUpdateResult::Applied);
    EXPECT_EQ(fixture_.model->tag(), "NEWTAG");
    EXPECT_EQ(value(kDeviceTagId), "NEWTAG") << "the tag parameter follows the tag";
    EXPECT_EQ(value(kShortAddressId), "12");
    EXPECT_EQ(apply(update("", "", "13")), ParameterUpdateResult::Applied)
        << "the bus address alone counts";
}

TEST_F(ParameterUpdateTest, NothingToApplyFails) {
    EXPECT_EQ(apply(update("")), ParameterUpdateResult::Failed);
    EXPECT_EQ(apply("<FDT xmlns=\"x-schema:DTMParameterSchema.xml\"/>"),
              ParameterUpdateResult::Failed);
}

TEST_F(ParameterUpdateTest, FirstFailingVariableEndsTheUpdate) {
    const std::string document =
        update(numberVariable("pv", "1.5") + numberVariable("no such parameter", "2") +
                   stringVariable("message", "late"),
               " fdt:tag=\"KEPT\"");
    EXPECT_EQ(apply(document), ParameterUpdateResult::Failed);
    EXPECT_EQ(value(200), "1.5000000000") << "variables before the failure stay applied";
    EXPECT_EQ(value(202), "hello") << "variables after the failure are not looked at";
    EXPECT_EQ(fixture_.model->tag(), "KEPT");
}

TEST_F(ParameterUpdateTest, VariablesWithoutValueOrVariantFail) {
    const std::string broken[] = {
        "<fdt:DtmVariable name=\"pv\"/>",
        "<fdt:DtmVariable name=\"pv\"><fdt:Value/></fdt:DtmVariable>",
        "<fdt:DtmVariable name=\"pv\"><fdt:Value><fdt:Variant "
        "dataType=\"float\"/></fdt:Value></fdt:DtmVariable>",
        "<fdt:DtmVariable><fdt:Value><fdt:Variant><fdt:NumberData "
        "number=\"1\"/></fdt:Variant></fdt:Value>"
        "</fdt:DtmVariable>",
    };
    for (const std::string& variable : broken) {
        EXPECT_EQ(apply(update(variable)), ParameterUpdateResult::Failed) << variable;
    }
    EXPECT_EQ(value(200), "12.5000000000");
}

TEST_F(ParameterUpdateTest, ReadOnlyParameterIsSkippedAsSuccess) {
    fixture_.at(201).setChanged(false);
    EXPECT_EQ(apply(update(numberVariable("serial", "1"))), ParameterUpdateResult::Applied);
    EXPECT_EQ(value(201), "4711");
    EXPECT_FALSE(fixture_.at(201).isChanged());
}

TEST_F(ParameterUpdateTest, TwoVariablesTakeTheirOwnValues) {
    EXPECT_EQ(apply(update(numberVariable("pv", "99") + stringVariable("message", "bye"))),
              ParameterUpdateResult::Applied);
    EXPECT_EQ(value(200), "99.0000000000");
    EXPECT_EQ(value(202), "bye");
    EXPECT_TRUE(fixture_.at(200).isChanged());
    EXPECT_TRUE(fixture_.at(202).isChanged());
    EXPECT_EQ(fixture_.model->dataSetState(), "validModified");
}

TEST_F(ParameterUpdateTest, RefusedValueStillCountsAsApplied) {
    EXPECT_EQ(apply(update(numberVariable("pv", "12a"))), ParameterUpdateResult::Applied);
    EXPECT_EQ(value(200), "12.5000000000");
    EXPECT_EQ(fixture_.at(200).isOutOfRange(), 1);
}

TEST_F(ParameterUpdateTest, SharedLabelsGetTheirOwnVariablesBack) {
    // The model lists 211 (value 2) before 210 (value 1); both are labelled "twin".
    EXPECT_EQ(apply(update(numberVariable("twin", "20") + numberVariable("twin", "10"))),
              ParameterUpdateResult::Applied);
    EXPECT_EQ(value(211), "20");
    EXPECT_EQ(value(210), "10");
}

TEST_F(ParameterUpdateTest, BinaryValues) {
    EXPECT_EQ(apply(update(binaryVariable("wide_alarms", "0080ff") +
                           binaryVariable("selector", "00000001"))),
              ParameterUpdateResult::Applied);
    EXPECT_EQ(fixture_.at(204).getValueText(kDeviceHexMode), "0080FF");
    EXPECT_EQ(value(207), "1") << "the pointer now names the parameter of command 1";

    EXPECT_EQ(apply(update(binaryVariable("selector", "0100000000"))),
              ParameterUpdateResult::Applied);
    EXPECT_EQ(fixture_.at(207).isOutOfRange(), 1) << "beyond 32 bits: refused by the parameter";
}

TEST_F(ParameterUpdateTest, EditOfABitRangeSurvivesItsUneditedBitmap) {
    const xml::Document before = readBack(getParameters());
    const std::string alarms = before.selectSingleNode("//fdt:DtmVariable[@name='alarms']").xml();
    const std::string mode = binaryVariable("alarm_mode", "00000005");
    // Both orders: the bitmap, shown as it was, must not undo the bit range.
    for (const std::string& variables : {alarms + mode, mode + alarms}) {
        fixture_.at(203).setValueText("00000000", kDisplayMode);
        EXPECT_EQ(apply(update(variables)), ParameterUpdateResult::Applied);
        EXPECT_EQ(value(212), "5") << variables;
        EXPECT_EQ(fixture_.at(203).getValueText(kDeviceHexMode), "05");
    }
}

TEST_F(ParameterUpdateTest, UneditedBlobKeepsItsText) {
    // "blob" shows as the number 0; writing that back must not turn "abc" into "0".
    EXPECT_EQ(apply(update(binaryVariable("blob", "00000000"))), ParameterUpdateResult::Applied);
    EXPECT_EQ(value(209), "abc");
}

TEST_F(ParameterUpdateTest, UserLevelAndLockGuardTheUpdate) {
    const std::string document = update(numberVariable("pv", "1"));
    EXPECT_EQ(apply(document, 1), ParameterUpdateResult::Refused);
    EXPECT_EQ(apply(document, 0), ParameterUpdateResult::Refused);
    EXPECT_EQ(lockRequests_, 0) << "a refused user level does not ask for the lock";
    lockGranted_ = false;
    EXPECT_EQ(apply(document, 4), ParameterUpdateResult::Refused);
    EXPECT_EQ(lockRequests_, 1);
    EXPECT_EQ(value(200), "12.5000000000");

    ParameterUpdater updater(fixture_.sources());
    const UpdateAnswer answer = answerSetParameters(updater, document, 4, lock_);
    EXPECT_EQ(answer.result, S_OK);
    EXPECT_FALSE(answer.success);
    EXPECT_EQ(answer.frameError, "") << "a refused lock sends no message";
}

TEST_F(ParameterUpdateTest, DocumentThatDoesNotLoadOrValidateFails) {
    ParameterUpdater updater(fixture_.sources());
    const std::string documents[] = {
        "<FDT",
        update("<fdt:DtmVariable name=\"pv\"><fdt:Value><fdt:Variant "
               "dataType=\"real\"/></fdt:Value></fdt:DtmVariable>"),
        update(binaryVariable("alarms", "XYZ")),  // binData must be hexadecimal
    };
    for (const std::string& document : documents) {
        EXPECT_EQ(updater.apply(document, 2, lock_), ParameterUpdateResult::Failed) << document;
        const UpdateAnswer answer = answerSetParameters(updater, document, 2, lock_);
        EXPECT_EQ(answer.result, S_OK);
        EXPECT_FALSE(answer.success);
        EXPECT_EQ(answer.frameError, "Error on SetParameters");
    }
}

TEST_F(ParameterUpdateTest, RaisedErrorGivesEPointerWithoutMessage) {
    ParameterUpdater updater(fixture_.sources());
    const UpdateAnswer answer =
        answerSetParameters(updater, update(numberVariable("pv", "1")), 3,
                            []() -> bool { throw std::runtime_error("frame gone"); });
    EXPECT_EQ(answer.result, E_POINTER);
    EXPECT_FALSE(answer.success);
    EXPECT_EQ(answer.frameError, "");
}

TEST_F(ParameterUpdateTest, RoundTripShowsExactlyTheEdits) {
    for (ParameterId id : fixture_.model->idList()) fixture_.model->find(id)->setChanged(false);
    const std::string original = getParameters();
    EXPECT_EQ(validationFailure(original), "");

    xml::Document edited = readBack(original);
    const auto set = [&](const std::string& path, const std::string& text) {
        xml::Node node = edited.selectSingleNode(path);
        ASSERT_TRUE(node) << path;
        node.setText(text);
    };
    const auto valueOf = [](const std::string& name, const std::string& attribute) {
        return "//fdt:DtmVariable[@name='" + name + "']/fdt:Value/fdt:Variant/*/@" + attribute;
    };
    set("//par:DtmDevice/@fdt:tag", "EDITED");
    set(valueOf("tag", "string"), "EDITED");
    set("//par:MasterSlaveBus/@busAddress", "5");
    set(valueOf("pv", "number"), "42.2500000000");
    set(valueOf("offset", "number"), "-7");
    set(valueOf("message", "string"), "changed");
    set(valueOf("cal_date", "time"), "12/24/2023");
    set(valueOf("wide_alarms", "binData"), "0102A0");
    set(valueOf("selector", "binData"), "00000001");
    set("(//fdt:DtmVariable[@name='twin'])[2]/fdt:Value/fdt:Variant/fdt:NumberData/@number", "77");
    const std::string editedText = edited.documentElement().xml();

    ParameterUpdater updater(fixture_.sources());
    ASSERT_EQ(updater.apply(editedText, 4, lock_), ParameterUpdateResult::Applied);

    // Everything the frame sent is marked changed: the states say so, nothing else differs.
    set("/par:FDT/@fdt:storageState", "transient");
    set("/par:FDT/@fdt:dataSetState", "validModified");
    EXPECT_EQ(getParameters(), edited.documentElement().xml());
    EXPECT_EQ(fixture_.model->tag(), "EDITED");
    EXPECT_EQ(value(210), "77");
}

TEST_F(ParameterUpdateTest, UnchangedRoundTripChangesNoValue) {
    const std::string original = getParameters();
    std::vector<std::string> before;
    for (ParameterId id : fixture_.model->idList()) before.push_back(value(id));
    ParameterUpdater updater(fixture_.sources());
    ASSERT_EQ(updater.apply(original, 2, lock_), ParameterUpdateResult::Applied);
    std::vector<std::string> after;
    for (ParameterId id : fixture_.model->idList()) after.push_back(value(id));
    EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace engine
