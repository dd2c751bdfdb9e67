#include "studio/dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace studio {

QString lineSpec(const LineFields& fields) {
    switch (fields.kind) {
        case LineFields::Kind::Simulator:
            return "sim:" + fields.package.trimmed();
        case LineFields::Kind::Serial: {
            QString spec = "serial:" + fields.serialPath.trimmed();
            if (fields.rts) spec += QStringLiteral(",rts");
            if (fields.echo) spec += QStringLiteral(",echo");
            return spec;
        }
        case LineFields::Kind::HartIp: {
            QString spec = "hartip:" + fields.host.trimmed();
            if (fields.port != 5094) spec += ":" + QString::number(fields.port);
            if (fields.udp) spec += QStringLiteral(",udp");
            return spec;
        }
    }
    return {};
}

LineDialog::LineDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Add line"));
    auto* layout = new QVBoxLayout(this);
    kind_ = new QComboBox;
    kind_->addItems({QStringLiteral("Simulated device"), QStringLiteral("Serial HART modem"),
                     QStringLiteral("HART-IP")});
    layout->addWidget(kind_);
    pages_ = new QStackedWidget;

    auto* sim = new QWidget;
    auto* simForm = new QFormLayout(sim);
    package_ = new QComboBox;
    package_->setEditable(true);
    package_->addItems({QStringLiteral("positioner"), QStringLiteral("level")});
    simForm->addRow(QStringLiteral("Device package"), package_);
    pages_->addWidget(sim);

    auto* serial = new QWidget;
    auto* serialForm = new QFormLayout(serial);
    serialPath_ = new QLineEdit(QStringLiteral("/dev/ttyUSB0"));
    rts_ = new QCheckBox(QStringLiteral("Key RTS around each transmission"));
    echo_ = new QCheckBox(QStringLiteral("The modem echoes what it sends"));
    serialForm->addRow(QStringLiteral("Port"), serialPath_);
    serialForm->addRow(rts_);
    serialForm->addRow(echo_);
    pages_->addWidget(serial);

    auto* hartIp = new QWidget;
    auto* hartIpForm = new QFormLayout(hartIp);
    host_ = new QLineEdit(QStringLiteral("127.0.0.1"));
    port_ = new QSpinBox;
    port_->setRange(1, 65535);
    port_->setValue(5094);
    udp_ = new QCheckBox(QStringLiteral("UDP instead of TCP"));
    hartIpForm->addRow(QStringLiteral("Host"), host_);
    hartIpForm->addRow(QStringLiteral("Port"), port_);
    hartIpForm->addRow(udp_);
    pages_->addWidget(hartIp);

    layout->addWidget(pages_);
    connect(kind_, &QComboBox::currentIndexChanged, pages_, &QStackedWidget::setCurrentIndex);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString LineDialog::spec() const {
    LineFields fields;
    fields.kind = static_cast<LineFields::Kind>(kind_->currentIndex());
    fields.package = package_->currentText();
    fields.serialPath = serialPath_->text();
    fields.rts = rts_->isChecked();
    fields.echo = echo_->isChecked();
    fields.host = host_->text();
    fields.port = port_->value();
    fields.udp = udp_->isChecked();
    return lineSpec(fields);
}

AddDeviceDialog::AddDeviceDialog(QWidget* parent, const std::vector<CatalogueEntry>& catalogue,
                                 const std::vector<LineRecord>& lines, const QString& suggestedTag)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Add device"));
    resize(560, 420);
    auto* layout = new QVBoxLayout(this);
    dtms_ = new QListWidget;
    dtms_->setIconSize(QSize(32, 32));
    for (const CatalogueEntry& entry : catalogue) {
        QString text = QString::fromStdString(entry.name) + "\n" +
                       QString::fromStdString(entry.vendor) + ", version " +
                       QString::fromStdString(entry.version);
        QStringList types;
        for (const std::string& type : entry.deviceTypes) types << QString::fromStdString(type);
        if (!types.isEmpty()) text += " - " + types.join(QStringLiteral(", "));
        auto* item = new QListWidgetItem(QIcon(QString::fromStdString(entry.iconPath)), text);
        item->setData(Qt::UserRole, QString::fromStdString(entry.progId));
        item->setToolTip(QString::fromStdString(entry.progId));
        dtms_->addItem(item);
    }
    if (dtms_->count() > 0) dtms_->setCurrentRow(0);
    layout->addWidget(dtms_);
    auto* form = new QFormLayout;
    line_ = new QComboBox;
    for (const LineRecord& line : lines) line_->addItem(line.spec, line.id);
    tag_ = new QLineEdit(suggestedTag);
    address_ = new QSpinBox;
    address_->setRange(0, 63);
    form->addRow(QStringLiteral("Line"), line_);
    form->addRow(QStringLiteral("Tag"), tag_);
    form->addRow(QStringLiteral("Polling address"), address_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString AddDeviceDialog::progId() const {
    const QListWidgetItem* item = dtms_->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}
qint64 AddDeviceDialog::lineId() const {
    return line_->currentData().toLongLong();
}
QString AddDeviceDialog::tag() const {
    return tag_->text().trimmed();
}
int AddDeviceDialog::address() const {
    return address_->value();
}

}  // namespace studio
