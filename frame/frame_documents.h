#pragma once
// The documents the frame hands to a DTM besides communication: the user
// information (Config), the operation phase (GetFunctions) and the function
// call (the ActiveX queries and views). Values are written as attribute
// values with XML escaping; they are not checked against the schemas, so a
// DTM's own validation can be tried with any text.

#include <string>
#include <string_view>

namespace frame {

inline constexpr std::string_view kDataTypesNamespace = "x-schema:FDTDataTypesSchema.xml";

// <FDT xmlns="x-schema:FDTUserInformationSchema.xml" ...><FDTUserInformation
// userLevel="..." userName="..."/></FDT>
std::string userInformationDocument(std::string_view userLevel, std::string_view userName);

// <FDT xmlns="x-schema:FDTOperationPhaseSchema.xml"><OperationPhase operationPhase="..."/></FDT>
std::string operationPhaseDocument(std::string_view phase);

// <FDT xmlns="x-schema:DTMFunctionCallSchema.xml" xmlns:func="x-schema:DTMFunctionsSchema.xml">
// <FunctionCall func:functionId="..."/></FDT>
std::string functionCallDocument(long functionId);

}  // namespace frame
