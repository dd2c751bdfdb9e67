#include <gtest/gtest.h>

#include "document_fixture.h"
#include "engine/documents/document_answers.h"
#include "engine/documents/information_document.h"
#include "engine/parameters/parameter_factory.h"

namespace engine {
namespace {

TEST(DocumentAnswers, StatesInWhichEachOperationActs) {
    // States 0 to 8; 1 is never entered but must not answer either.
    struct Case {
        DocumentOperation operation;
        const char* acting;  // one character per state 0..8
    };
    const Case cases[] = {
        {DocumentOperation::Information, "000111100"},
        {DocumentOperation::DeviceIdentification, "000111100"},
        {DocumentOperation::Functions, "000011100"},
        {DocumentOperation::ActiveX, "000011100"},
        {DocumentOperation::GetParameters, "000001100"},
        {DocumentOperation::SetParameters, "000001100"},
    };
    for (const Case& c : cases) {
        for (int32_t state = 0; state <= 8; ++state) {
            EXPECT_EQ(actsInState(c.operation, state), c.acting[state] == '1')
                << static_cast<int>(c.operation) << " in state " << state;
        }
        EXPECT_FALSE(actsInState(c.operation, -1));
    }
}

TEST(DocumentAnswers, AnswersOutsideTheirStates) {
    const DocumentAnswer functions = answerOutsideState(DocumentOperation::Functions);
    EXPECT_EQ(functions.result, S_OK);
    ASSERT_TRUE(functions.text.has_value()) << "GetFunctions answers an empty text, not a null one";
    EXPECT_EQ(*functions.text, "");
    for (DocumentOperation operation :
         {DocumentOperation::Information, DocumentOperation::DeviceIdentification,
          DocumentOperation::ActiveX, DocumentOperation::GetParameters}) {
        const DocumentAnswer answer = answerOutsideState(operation);
        EXPECT_EQ(answer.result, S_OK);
        EXPECT_FALSE(answer.text.has_value()) << static_cast<int>(operation);
        EXPECT_EQ(answer.errorBox, "");
    }
    const UpdateAnswer update = updateOutsideState();
    EXPECT_EQ(update.result, S_OK);
    EXPECT_FALSE(update.success);
    EXPECT_EQ(update.frameError, "");
}

TEST(DocumentAnswers, BuilderErrorsOfTheInformationOperationsShowTheBox) {
    // A bit range whose description cannot be used raises "Format Error" when
    // its text is asked for; here it stands in for the manufacturer code.
    testing::DocumentFixture fixture;
    ParameterSpec spec;
    spec.kind = ParameterKind::BitRange;
    spec.id = kManufacturerId;
    spec.owner = fixture.model.get();
    spec.node = fixture.at(200).node();  // a node without bit positions
    spec.typeName = "bit_range";
    fixture.model->adopt(createParameter(spec));

    const InformationDocumentBuilder builder(fixture.sources());
    for (const DocumentAnswer& answer :
         {answerInformation(builder), answerDeviceIdentification(builder)}) {
        EXPECT_EQ(answer.result, E_POINTER);
        EXPECT_FALSE(answer.text.has_value());
        EXPECT_EQ(answer.errorBox, "Unkown Error");
    }
}

}  // namespace
}  // namespace engine
