#include "studio/catalogue.h"

#include <QDomDocument>
#include <QString>
#include <set>

#include "platform/com/registry.h"

namespace studio {
namespace {

QDomDocument parsed(const std::string& text) {
    QDomDocument dom;
    dom.setContent(QString::fromStdString(text), true);
    return dom;
}

std::vector<QDomElement> elementsNamed(const QDomDocument& dom, const char* localName) {
    std::vector<QDomElement> found;
    const QDomNodeList all = dom.elementsByTagName(QStringLiteral("*"));
    for (int i = 0; i < all.count(); ++i) {
        const QDomElement element = all.at(i).toElement();
        if (element.localName() == QLatin1String(localName)) found.push_back(element);
    }
    return found;
}

// The attribute of that local name, whatever its prefix.
QString attribute(const QDomElement& element, const char* localName) {
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attr = attributes.item(i).toAttr();
        const QString name = attr.localName().isEmpty() ? attr.name() : attr.localName();
        if (name == QLatin1String(localName)) return attr.value();
    }
    return {};
}

}  // namespace

CatalogueEntry describeDtm(const std::string& progId, const std::string& information,
                           const std::string& identification) {
    CatalogueEntry entry;
    entry.progId = progId;
    const QDomDocument info = parsed(information);
    for (const QDomElement& version : elementsNamed(info, "VersionInformation")) {
        if (version.parentNode().toElement().localName() == QLatin1String("DtmInfo")) {
            entry.name = attribute(version, "name").toStdString();
            entry.vendor = attribute(version, "vendor").toStdString();
            entry.version = attribute(version, "version").toStdString();
        } else {
            entry.deviceTypes.push_back(attribute(version, "name").toStdString());
        }
    }
    for (const QDomElement& icon : elementsNamed(info, "DeviceIcon")) {
        if (entry.iconPath.empty()) entry.iconPath = attribute(icon, "path").toStdString();
    }
    if (entry.name.empty()) entry.name = progId;
    const QDomDocument ident = parsed(identification);
    const auto manufacturers = elementsNamed(ident, "IdManufacturer");
    const auto types = elementsNamed(ident, "IdTypeID");
    for (std::size_t i = 0; i < manufacturers.size() && i < types.size(); ++i) {
        bool manufacturerOk = false, typeOk = false;
        const unsigned manufacturer = attribute(manufacturers[i], "manufacturerIdentificationCode").toUInt(&manufacturerOk);
        const unsigned type = attribute(types[i], "deviceTypeID").toUInt(&typeOk);
        if (manufacturerOk && typeOk) entry.identifies.emplace_back(manufacturer, type);
    }
    return entry;
}

std::vector<CatalogueEntry> readCatalogue(frame::SessionLoop& loop, const frame::FrameOptions& options) {
    std::shared_ptr<const com::RegistryContents> contents;
    if (!com::processRegistry()->snapshot(contents) || !contents) return {};
    std::vector<CatalogueEntry> catalogue;
    std::set<std::string> seen;
    for (const auto& [clsid, entry] : contents->classes) {
        const std::string progId = entry.progId.empty() ? entry.versionIndependentProgId : entry.progId;
        if (progId.empty() || !seen.insert(progId).second) continue;
        frame::FrameOptions quiet = options;
        quiet.deviceSpec.clear();
        frame::Frame probe(loop, quiet);
        if (!probe.create(progId).ok) continue;
        if (probe.environment("CATALOGUE").ok) {
            const frame::CommandResult information = probe.information();
            const frame::CommandResult identification = probe.identification();
            if (information.ok && information.output && !information.output->empty()) {
                CatalogueEntry described = describeDtm(progId, *information.output, identification.output.value_or(""));
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
