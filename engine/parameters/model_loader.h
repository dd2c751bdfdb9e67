#pragma once

#include "platform/xml/document.h"

namespace engine {

class DeviceObject;

// Builds the parameter model into root from the device description, taking
// the initial device tag from the DTM description. Both documents must bind
// the XPath prefix "user" to their description namespace and must outlive the
// model. In order: the reserved parameter 1; the HART interface's blocks (its
// parameters, their components recursively, and its action items); the tag
// from "//user:DTMVersion/@name"; the internal interface's blocks and the
// parameters directly under it; the id list; then the model counts as built
// and the pending data-set text is applied (data-set state "default" when
// there is none).
//
// Failures raise CDTMException ("Error on init HartParameterManager. No HART
// interface found.", "Error on AddParameter. Parameter have no data type
// node.", "Error on AddComponent. Parameter have no data type node.", "Error
// on AddObject. Unknown data type name."); the parameters created so far stay
// in the map and the model does not count as built.
void loadModel(DeviceObject& root, const xml::Document& deviceDocument,
               const xml::Document& dtmDocument);

}  // namespace engine
