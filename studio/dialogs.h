#pragma once
// The studio's own dialogs: a line of any kind the frame supports, and a
// device from the catalogue on one of the project's lines.

#include <QDialog>
#include <QString>
#include <vector>

#include "studio/catalogue.h"
#include "studio/project_database.h"

class QComboBox;
class QLineEdit;
class QSpinBox;
class QCheckBox;
class QListWidget;
class QStackedWidget;

namespace studio {

// The frame's line name for the dialog's fields:
//   sim:PACKAGE, serial:PATH[,rts][,echo], hartip:HOST[:PORT][,udp]
struct LineFields {
    enum class Kind { Simulator, Serial, HartIp } kind = Kind::Simulator;
    QString package = QStringLiteral("positioner");
    QString serialPath;
    bool rts = false;
    bool echo = false;
    QString host;
    int port = 5094;
    bool udp = false;
};
QString lineSpec(const LineFields& fields);

class LineDialog : public QDialog {
public:
    explicit LineDialog(QWidget* parent);
    QString spec() const;

private:
    QComboBox* kind_;
    QStackedWidget* pages_;
    QComboBox* package_;
    QLineEdit* serialPath_;
    QCheckBox* rts_;
    QCheckBox* echo_;
    QLineEdit* host_;
    QSpinBox* port_;
    QCheckBox* udp_;
};

class AddDeviceDialog : public QDialog {
public:
    AddDeviceDialog(QWidget* parent, const std::vector<CatalogueEntry>& catalogue,
                    const std::vector<LineRecord>& lines, const QString& suggestedTag);
    QString progId() const;
    qint64 lineId() const;
    QString tag() const;
    int address() const;

private:
    QListWidget* dtms_;
    QComboBox* line_;
    QLineEdit* tag_;
    QSpinBox* address_;
};

}  // namespace studio
