#include "studio/catalogue.h"

#include <QString>
#include <QXmlStreamReader>
#include <optional>
#include <set>

#include "platform/com/registry.h"

namespace studio {
namespace {

// The attribute of that local name, whatever its prefix.
QString attribute(const QXmlStreamAttributes& attributes, const char* localName) {
    for (const QXmlStreamAttribute& attr : attributes) {
        if (attr.name() == QLatin1String(localName)) return attr.value().toString();
    }
    return {};
}

// Calls `visit` with each element's local name, its parent's and its attributes.
template <class Visit>
void walk(const std::string& text, Visit visit) {
    QXmlStreamReader reader(QByteArray::fromStdString(text));
    std::vector<QString> open;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            visit(reader.name().toString(), open.empty() ? QString() : open.back(),
                  reader.attributes());
            open.push_back(reader.name().toString());
        } else if (token == QXmlStreamReader::EndElement && !open.empty()) {
            open.pop_back();
        }
    }
}

}  // namespace

CatalogueEntry describeDtm(const std::string& progId, const std::string& information,
                           const std::string& identification) {
    CatalogueEntry entry;
    entry.progId = progId;
    walk(information,
         [&](const QString& name, const QString& parent, const QXmlStreamAttributes& attributes) {
             if (name == u"VersionInformation" && parent == u"DtmInfo") {
                 entry.name = attribute(attributes, "name").toStdString();
                 entry.vendor = attribute(attributes, "vendor").toStdString();
                 entry.version = attribute(attributes, "version").toStdString();
             } else if (name == u"VersionInformation" && parent == u"DtmDeviceType") {
                 entry.deviceTypes.push_back(attribute(attributes, "name").toStdString());
             } else if (name == u"DeviceIcon" && entry.iconPath.empty()) {
                 entry.iconPath = attribute(attributes, "path").toStdString();
             }
         });
    if (entry.name.empty()) entry.name = progId;
    std::optional<unsigned> manufacturer;
    walk(identification,
         [&](const QString& name, const QString&, const QXmlStreamAttributes& attributes) {
             bool ok = false;
             if (name == u"IdManufacturer") {
                 const unsigned value =
                     attribute(attributes, "manufacturerIdentificationCode").toUInt(&ok);
                 manufacturer = ok ? std::optional<unsigned>(value) : std::nullopt;
             } else if (name == u"IdTypeID" && manufacturer) {
                 const unsigned type = attribute(attributes, "deviceTypeID").toUInt(&ok);
                 if (ok) entry.identifies.emplace_back(*manufacturer, type);
             }
         });
    return entry;
}

std::vector<CatalogueEntry> readCatalogue(frame::SessionLoop& loop,
                                          const frame::FrameOptions& options) {
    std::shared_ptr<const com::RegistryContents> contents;
    if (!com::processRegistry()->snapshot(contents) || !contents) return {};
    std::vector<CatalogueEntry> catalogue;
    std::set<std::string> seen;
    for (const auto& [clsid, entry] : contents->classes) {
        const std::string progId =
            entry.progId.empty() ? entry.versionIndependentProgId : entry.progId;
        if (progId.empty() || !seen.insert(progId).second) continue;
        frame::FrameOptions quiet = options;
        quiet.deviceSpec.clear();
        frame::Frame probe(loop, quiet);
        if (!probe.create(progId).ok) continue;
        if (probe.environment("CATALOGUE").ok) {
            const frame::CommandResult information = probe.information();
            const frame::CommandResult identification = probe.identification();
            if (information.ok && information.output && !information.output->empty()) {
                CatalogueEntry described =
                    describeDtm(progId, *information.output, identification.output.value_or(""));
                // A DTM that serves no device type (a bare engine) cannot be given a device.
                if (!described.deviceTypes.empty()) catalogue.push_back(std::move(described));
            }
        }
        probe.release();
    }
    return catalogue;
}

std::vector<const CatalogueEntry*> matchingDtms(const std::vector<CatalogueEntry>& catalogue,
                                                unsigned manufacturer, unsigned deviceType) {
    std::vector<const CatalogueEntry*> found;
    for (const CatalogueEntry& entry : catalogue) {
        for (const auto& [m, t] : entry.identifies) {
            if (m == manufacturer && t == deviceType) {
                found.push_back(&entry);
                break;
            }
        }
    }
    return found;
}

}  // namespace studio
