// Building the parameter model from a description of 2,000 parameters and
// reading every parameter's value, range and unit texts, beside the bare
// libxml2 parse of the same file. The ratio of the two is the cost of the
// model over the XML it is made from.

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <unistd.h>

#include <cstdio>

#include "bench/ratio_report.h"
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/description/description_document.h"
#include "engine/description/description_namespaces.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/model_loader.h"
#include "engine/parameters/value_parameter.h"

namespace {

constexpr int kParameterCount = 2000;
constexpr int kUnitCodeParameters = 10;

// One parameter of a rotating set of kinds, with the restriction forms the
// engine reads most: limits, defaults, enumerations and unit-code pointers.
void writeParameter(std::ofstream& out, int index) {
    const int id = 100000 + index;
    out << "      <parameter reference_id=\"" << id << "\" label=\"p" << index << "\">\n";
    switch (index % 5) {
        case 0:
            out << "        <data_type type_name=\"float\"><sized_type size=\"4\"/></data_type>\n"
                   "        <restriction>\n"
                   "          <default><constant>12.5</constant></default>\n"
                   "          <lower_limit><constant>-50</constant></lower_limit>\n"
                   "          <upper_limit><constant>150</constant></upper_limit>\n"
                   "          <unit><pointer reference_id=\""
                << 100000 + (index / 5 % kUnitCodeParameters) * 5 + 1 << "\"/></unit>\n"
                   "        </restriction>\n";
            break;
        case 1:
            out << "        <data_type type_name=\"unsigned8\"><sized_type size=\"1\"/></data_type>\n"
                   "        <restriction>\n"
                   "          <default><constant>39</constant></default>\n"
                   "          <range><constant>{32,\"degC\"}{33,\"degF\"}{39,\"mA\"}{57,\"%\"}</constant></range>\n"
                   "        </restriction>\n";
            break;
        case 2:
            out << "        <data_type type_name=\"unsigned16\"><sized_type size=\"2\"/></data_type>\n"
                   "        <restriction><range><constant>[0 to 1000]</constant></range>"
                   "<unit><constant>s</constant></unit></restriction>\n";
            break;
        case 3:
            out << "        <data_type type_name=\"string\"><sized_type size=\"16\"/></data_type>\n"
                   "        <restriction><default><constant>text</constant></default></restriction>\n";
            break;
        default:
            out << "        <data_type type_name=\"float\"><sized_type size=\"4\"/></data_type>\n"
                   "        <restriction><range><constant>[1=On][2=Off]</constant></range></restriction>\n";
            break;
    }
    out << "        <access readable=\"true\" writable=\"true\"/>\n"
           "        <addressing><code_hart>"
        << index % 250 << "</code_hart></addressing>\n"
           "        <description>p"
        << index << "_help</description>\n"
           "      </parameter>\n";
}

class GeneratedDescription {
public:
    GeneratedDescription() {
        const auto directory = std::filesystem::temp_directory_path();
        const std::string suffix = std::to_string(::getpid());
        devicePath_ = (directory / ("bench_device_" + suffix + ".xml")).string();
        dtmPath_ = (directory / ("bench_dtm_" + suffix + ".xml")).string();
        std::ofstream device(devicePath_);
        device << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<device_description xmlns=\""
               << engine::kDeviceDescriptionNamespace << "\">\n  <device_interface bus_type=\"hart\">\n";
        for (int index = 0; index < kParameterCount; ++index) {
            if (index % 100 == 0) {
                if (index != 0) device << "    </block>\n";
                device << "    <block name=\"block" << index / 100 << "\">\n";
            }
            writeParameter(device, index);
        }
        device << "    </block>\n  </device_interface>\n</device_description>\n";
        std::ofstream dtm(dtmPath_);
        dtm << "<dtm_description xmlns=\"" << engine::kDtmDescriptionNamespace
            << "\"><DTMVersion name=\"BENCH\"/></dtm_description>\n";
    }
    ~GeneratedDescription() {
        std::remove(devicePath_.c_str());
        std::remove(dtmPath_.c_str());
    }
    const std::string& devicePath() const { return devicePath_; }
    const std::string& dtmPath() const { return dtmPath_; }

private:
    std::string devicePath_;
    std::string dtmPath_;
};

const GeneratedDescription& description() {
    static const GeneratedDescription generated;
    return generated;
}

void BM_ModelBuildAndTexts(benchmark::State& state) {
    const GeneratedDescription& files = description();
    size_t characters = 0;
    for (auto _ : state) {
        xml::Document device =
            engine::loadDescriptionDocument(files.devicePath(), engine::kDeviceDescriptionNamespace);
        xml::Document dtm =
            engine::loadDescriptionDocument(files.dtmPath(), engine::kDtmDescriptionNamespace);
        engine::DeviceObject root;
        engine::loadModel(root, device, dtm);
        for (engine::ParameterId id : root.idList()) {
            engine::ValueParameter* parameter = root.find(id);
            characters += parameter->getValueText(engine::kDisplayMode).size();
            characters += parameter->getRange().size();
            characters += parameter->getUnit().size();
        }
        root.clear();
    }
    benchmark::DoNotOptimize(characters);
    state.counters["parameters"] = kParameterCount;
}
BENCHMARK(BM_ModelBuildAndTexts)->Unit(benchmark::kMillisecond);

// The document load of the XML layer alone, for the share of the model build.
void BM_DescriptionDocumentLoad(benchmark::State& state) {
    const GeneratedDescription& files = description();
    for (auto _ : state) {
        xml::Document device =
            engine::loadDescriptionDocument(files.devicePath(), engine::kDeviceDescriptionNamespace);
        benchmark::DoNotOptimize(device);
    }
}
BENCHMARK(BM_DescriptionDocumentLoad)->Unit(benchmark::kMillisecond);

void BM_BareLibxml2Parse(benchmark::State& state) {
    const GeneratedDescription& files = description();
    for (auto _ : state) {
        xmlDocPtr document = xmlReadFile(files.devicePath().c_str(), nullptr, XML_PARSE_NONET);
        benchmark::DoNotOptimize(document);
        xmlFreeDoc(document);
    }
}
BENCHMARK(BM_BareLibxml2Parse)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double model = reporter.cpuSeconds("BM_ModelBuildAndTexts");
    const double bare = reporter.cpuSeconds("BM_BareLibxml2Parse");
    if (model > 0 && bare > 0)
        std::printf("model build / bare libxml2 parse: %.2fx (goal at most 2x)\n", model / bare);
    return 0;
}
