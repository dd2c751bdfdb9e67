#pragma once

#include <string>
#include <string_view>

namespace engine {

class DeviceObject;

// The device data set as text: "[tag=<tag>]", "[dataSetState=<state>]" and one
// "[<id>=<display value>]" per parameter of the id list, in list order. Items
// are written whole, whatever their length.
struct DataSetWalk {
    std::string full;     // every item
    std::string changed;  // the tag item if the tag changed, and the changed parameters
};

// Writes the data set and then clears the tag-changed flag and the changed
// flag of every parameter that had it set. A value that cannot be written
// (CDTMException "Format Error") ends the walk with nothing cleared.
DataSetWalk walkDataSet(DeviceObject& root);

// Applies a data-set text. Before the model is built the text is only kept
// (with stored) for the model load. Otherwise each "[...]" item whose text is
// a decimal number, "=" and a value sets that parameter's display value (the
// tag parameter also sets the tag), clearing its changed flag when stored is
// set; "tag=" and "dataSetState=" items give the tag (when not empty) and the
// state; all other items are ignored. The state becomes the one found, or
// "default" when none or an empty one was found; the tag-changed flag is
// cleared.
void applyDataSetText(DeviceObject& root, std::string_view text, bool stored);

}  // namespace engine
