#include "studio/device_session.h"

#include <QDomDocument>
#include <QString>
#include <QXmlStreamReader>
#include <algorithm>
#include <charconv>

#include "frame/frame_host.h"
#include "idl/fdt_dtm.h"
#include "idl/qad_generic_dtm.h"
#include "platform/com/bstr.h"
#include "platform/com/variant.h"

namespace studio {
namespace {

using frame::CommandResult;

long leadingNumber(std::string_view text) {
    long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::optional<std::int32_t> referenceId(std::string_view key) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), value);
    if (ec != std::errc() || end != key.data() + key.size() || key.empty()) return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

FunctionEntry readEntry(QXmlStreamReader& reader);

// Reads the children of the element the reader stands on, up to its end.
std::vector<FunctionEntry> readChildren(QXmlStreamReader& reader) {
    std::vector<FunctionEntry> entries;
    while (reader.readNextStartElement()) {
        const QStringView name = reader.name();
        if (name == u"Functions" || name == u"StandardFunctions" || name == u"Function" ||
            name == u"StandardFunction" || name == u"Document") {
            entries.push_back(readEntry(reader));
        } else {
            reader.skipCurrentElement();
        }
    }
    return entries;
}

FunctionEntry readEntry(QXmlStreamReader& reader) {
    FunctionEntry entry;
    const QString name = reader.name().toString();
    const QXmlStreamAttributes attributes = reader.attributes();
    QString label = attributes.value(QStringLiteral("label")).toString();
    if (label.isEmpty()) {
        for (const QXmlStreamAttribute& attribute : attributes) {
            if (attribute.name() == u"name") label = attribute.value().toString();
        }
    }
    entry.label = label.toStdString();
    if (name == u"Functions" || name == u"StandardFunctions") {
        entry.kind = FunctionEntry::Kind::Group;
        entry.children = readChildren(reader);
        return entry;
    }
    entry.kind =
        name == u"Document" ? FunctionEntry::Kind::Document : FunctionEntry::Kind::Function;
    const std::string id = attributes.value(QStringLiteral("functionId")).toString().toStdString();
    entry.functionId = entry.kind == FunctionEntry::Kind::Function ? leadingNumber(id) : 0;
    entry.hasGui =
        attributes.value(QStringLiteral("hasGUI")) == u"1" || name == u"StandardFunction";
    while (reader.readNextStartElement()) {
        if (reader.name() == u"Status") {
            const QXmlStreamAttributes status = reader.attributes();
            if (status.value(QStringLiteral("separator")) == u"1")
                entry.kind = FunctionEntry::Kind::Separator;
            entry.enabled = status.value(QStringLiteral("enabled")) != u"0";
        }
        reader.skipCurrentElement();
    }
    return entry;
}

com::Variant idVariant(std::int32_t id) {
    return com::Variant(id);
}

}  // namespace

std::vector<FunctionEntry> parseFunctions(std::string_view document) {
    QXmlStreamReader reader(QByteArray(document.data(), static_cast<qsizetype>(document.size())));
    if (!reader.readNextStartElement() || reader.name() != u"FDT") return {};
    while (reader.readNextStartElement()) {
        if (reader.name() == u"Functions") {
            std::vector<FunctionEntry> entries = readChildren(reader);
            return reader.hasError() ? std::vector<FunctionEntry>{} : entries;
        }
        reader.skipCurrentElement();
    }
    return {};
}

std::vector<std::pair<std::string, std::string>> dataSetItems(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> items;
    for (std::size_t open = text.find('['); open != std::string_view::npos;
         open = text.find('[', open + 1)) {
        const std::size_t close = text.find(']', open);
        if (close == std::string_view::npos) break;
        const std::string_view item = text.substr(open + 1, close - open - 1);
        const std::size_t equals = item.find('=');
        if (equals != std::string_view::npos && equals > 0)
            items.emplace_back(std::string(item.substr(0, equals)),
                               std::string(item.substr(equals + 1)));
        open = close;
    }
    return items;
}

std::string dataSetText(const frame::DataSetImage& image) {
    const std::vector<std::uint8_t>& bytes = image.stream;
    if (bytes.size() < 6) return {};
    std::u16string text;
    for (std::size_t at = 4; at + 1 < bytes.size(); at += 2)
        text.push_back(static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8)));
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    return QString::fromStdU16String(text).toStdString();
}

DeviceSession::DeviceSession(frame::SessionLoop& loop, Identity identity,
                             frame::FrameOptions options)
    : identity_(std::move(identity)), frame_(loop, [&] {
          options.deviceSpec = identity_.lineSpec;
          return options;
      }()) {
    frame_.events().setListener([this](const frame::FrameEvent& event) { onEvent(event); });
}

DeviceSession::~DeviceSession() {
    frame_.events().setListener({});
    if (frame_.hasDtm()) release();
}

void DeviceSession::onEvent(const frame::FrameEvent& event) {
    if (event.kind == "online-state" && !event.fields.empty()) online_ = event.fields[0] == "TRUE";
    if (event.kind == "parameters-changed" && !event.fields.empty()) recordChanges(event.fields[0]);
    if (eventListener_) eventListener_(event);
}

void DeviceSession::recordChanges(std::string_view changedItems) {
    for (auto& [key, value] : dataSetItems(changedItems)) {
        auto known = std::find_if(values_.begin(), values_.end(),
                                  [&](const auto& item) { return item.first == key; });
        const std::string old = known == values_.end() ? std::string() : known->second;
        if (known == values_.end())
            values_.emplace_back(key, value);
        else
            known->second = value;
        // The first capture of a new DTM sets the baseline; it changes nothing.
        if (baseline_ && old != value && auditListener_) auditListener_({key, old, value});
    }
}

CommandResult DeviceSession::start(const frame::DataSetImage* saved, std::string_view userLevel,
                                   long languageId) {
    if (CommandResult created = frame_.create(identity_.progId); !created.ok) return created;
    if (saved) {
        if (com::Status restored = frame::restoreDataSet(*frame_.dtm().get(), *saved);
            !restored)
            return CommandResult::failure("the saved data set of " + identity_.tag +
                                          " was refused: " + restored.reason);
        image_ = *saved;
        values_ = dataSetItems(dataSetText(*saved));
        baseline_ = true;
    }
    if (CommandResult environment = frame_.environment(identity_.tag); !environment.ok)
        return environment;
    if (!saved) {
        if (CommandResult initialised = frame_.initNew(); !initialised.ok) return initialised;
    }
    if (CommandResult configured = frame_.config(userLevel); !configured.ok) return configured;
    if (languageId != 0) setLanguage(languageId);
    if (!saved) {
        // The bus address is reference id 1 of every HART description.
        frame_.set(1, std::to_string(identity_.address));
        return capture();
    }
    return CommandResult::success("TRUE");
}

CommandResult DeviceSession::connect() {
    if (communicationSet_) return CommandResult::failure(identity_.tag + " is connected already");
    CommandResult result = frame_.setCommunication();
    if (result.ok) communicationSet_ = true;
    return result;
}

CommandResult DeviceSession::disconnect() {
    if (!communicationSet_) return CommandResult::failure(identity_.tag + " is not connected");
    CommandResult result = frame_.releaseCommunication();
    if (result.ok) communicationSet_ = false;
    return result;
}

CommandResult DeviceSession::upload() {
    const std::vector<std::pair<std::string, std::string>> before = values_;
    CommandResult result = frame_.upload();
    comparison_.clear();
    if (!result.ok) return result;
    for (const auto& [key, projectValue] : before) {
        const std::optional<std::int32_t> id = referenceId(key);
        if (!id) continue;
        std::string deviceValue = valueOf(*id);
        if (deviceValue != projectValue)
            comparison_.push_back({key, nameOf(*id), projectValue, std::move(deviceValue)});
    }
    if (CommandResult captured = capture(); !captured.ok) return captured;
    return result;
}

CommandResult DeviceSession::download() {
    return frame_.download();
}

CommandResult DeviceSession::setLanguage(long languageId) {
    return frame_.language(languageId);
}

CommandResult DeviceSession::release() {
    if (!frame_.hasDtm()) return CommandResult::success();
    communicationSet_ = false;
    online_ = false;
    return frame_.release();
}

CommandResult DeviceSession::capture() {
    if (!frame_.hasDtm()) return CommandResult::failure("no DTM");
    frame::DataSetImage image;
    const com::Status captured = frame::captureDataSet(*frame_.dtm().get(), image);
    frame_.settle();
    if (!captured) return CommandResult::failure(identity_.tag + ": " + captured.reason);
    values_ = dataSetItems(dataSetText(image));
    image_ = std::move(image);
    baseline_ = true;
    return CommandResult::success("TRUE");
}

std::vector<FunctionEntry> DeviceSession::functions() {
    const CommandResult document = frame_.functions("");
    if (!document.ok || !document.output) return {};
    return parseFunctions(*document.output);
}

std::string DeviceSession::valueOf(std::int32_t id) {
    const CommandResult value = frame_.get(id);
    return value.output.value_or("");
}

std::string DeviceSession::nameOf(std::int32_t id) {
    const auto engine = frame_.dtm().as<IQadGenericDTMObject>();
    com::Bstr text;
    if (!engine || FAILED(engine->GetName(*idVariant(id).get(), text.out()))) return {};
    return text.utf8();
}

std::string DeviceSession::unitOf(std::int32_t id) {
    const auto engine = frame_.dtm().as<IQadGenericDTMObject>();
    com::Bstr text;
    if (!engine || FAILED(engine->GetUnit(*idVariant(id).get(), text.out()))) return {};
    return text.utf8();
}

bool DeviceSession::isChanged(std::int32_t id) {
    const auto engine = frame_.dtm().as<IQadGenericDTMObject>();
    VARIANT_BOOL changed = VARIANT_FALSE;
    return engine && SUCCEEDED(engine->IsChanged(*idVariant(id).get(), &changed)) &&
           changed != VARIANT_FALSE;
}

std::vector<ParameterRow> DeviceSession::parameters() {
    const CommandResult document = frame_.parameters();
    if (!document.ok || !document.output) return {};
    // Labels name the variables; the private interface knows them by id.
    std::map<std::string, std::int32_t> idsByName;
    for (const auto& [key, value] : values_) {
        if (const std::optional<std::int32_t> id = referenceId(key))
            idsByName.emplace(nameOf(*id), *id);
    }
    std::vector<ParameterRow> rows;
    QDomDocument dom;
    if (!dom.setContent(QString::fromStdString(*document.output), true)) return rows;
    const QDomNodeList variables = dom.elementsByTagNameNS(
        QStringLiteral("x-schema:FDTDataTypesSchema.xml"), QStringLiteral("DtmVariable"));
    for (int i = 0; i < variables.count(); ++i) {
        const QDomElement variable = variables.at(i).toElement();
        ParameterRow row;
        row.name = variable.attribute(QStringLiteral("name")).toStdString();
        const QDomElement value = variable.firstChildElement();
        row.writable = value.attribute(QStringLiteral("writeAccess")) == u"1";
        const QDomElement data = value.firstChildElement().firstChildElement();
        for (const char* attribute : {"number", "string", "time", "binData"}) {
            if (data.hasAttribute(QString::fromLatin1(attribute)))
                row.value = data.attribute(QString::fromLatin1(attribute)).toStdString();
        }
        if (auto id = idsByName.find(row.name); id != idsByName.end()) {
            row.unit = unitOf(id->second);
            row.state = isChanged(id->second) ? "changed" : "";
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

CommandResult DeviceSession::setParameter(const std::string& name, const std::string& value) {
    const CommandResult document = frame_.parameters();
    if (!document.ok || !document.output)
        return CommandResult::failure("the DTM gave no parameter document");
    QDomDocument dom;
    if (!dom.setContent(QString::fromStdString(*document.output), true))
        return CommandResult::failure("the parameter document cannot be read");
    // Only the edited variable goes back, so that no other parameter counts as changed.
    const QDomNodeList variables = dom.elementsByTagNameNS(
        QStringLiteral("x-schema:FDTDataTypesSchema.xml"), QStringLiteral("DtmVariable"));
    std::vector<QDomElement> others;
    bool found = false;
    for (int i = 0; i < variables.count(); ++i) {
        QDomElement variable = variables.at(i).toElement();
        if (!found && variable.attribute(QStringLiteral("name")).toStdString() == name) {
            QDomElement data = variable.firstChildElement().firstChildElement().firstChildElement();
            for (const char* attribute : {"number", "string", "time", "binData"}) {
                if (data.hasAttribute(QString::fromLatin1(attribute)))
                    data.setAttribute(QString::fromLatin1(attribute),
                                      QString::fromStdString(value));
            }
            found = true;
        } else {
            others.push_back(variable);
        }
    }
    if (!found) return CommandResult::failure("the DTM has no parameter '" + name + "'");
    for (QDomElement& other : others) other.parentNode().removeChild(other);
    const auto parameter = frame_.dtm().as<IDtmParameter>();
    if (!parameter) return CommandResult::failure("the DTM has no IDtmParameter");
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT hr = parameter->SetParameters(
        com::Bstr::fromUtf8("").get(), com::Bstr::fromUtf8(dom.toString(-1).toStdString()).get(),
        &result);
    frame_.settle();
    if (FAILED(hr) || result == VARIANT_FALSE)
        return CommandResult::failure("the DTM refused " + name + " = " + value, "FALSE");
    return capture();
}

}  // namespace studio
