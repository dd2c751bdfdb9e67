#include "studio/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>

#include "frame/simulator_backend.h"
#include "studio/device_pages.h"
#include "studio/dialogs.h"
#include "studio/line_scan.h"
#include "studio/message_boxes.h"
#include "studio/view_tab.h"

namespace studio {
namespace {

enum ItemRole { kKindRole = Qt::UserRole + 1, kTagRole, kFunctionRole };
enum ItemKind { kLineItem = 1, kDeviceItem, kFunctionItem };

QString deviceText(const DeviceSession& device) {
    return QString::fromStdString(device.identity().tag) +
           (device.online() ? "  [online]  " : "  [offline]  ") +
           QString::fromStdString(device.identity().progId);
}

void addFunctionItems(QTreeWidgetItem* parent, const std::vector<FunctionEntry>& entries,
                      const QString& tag) {
    for (const FunctionEntry& entry : entries) {
        if (entry.kind == FunctionEntry::Kind::Separator) continue;
        auto* item = new QTreeWidgetItem(parent, {QString::fromStdString(entry.label)});
        item->setData(0, kKindRole, kFunctionItem);
        item->setData(0, kTagRole, tag);
        item->setData(0, kFunctionRole,
                      static_cast<qlonglong>(entry.hasGui ? entry.functionId : 0));
        if (!entry.enabled)
            item->setForeground(0,
                                QApplication::palette().color(QPalette::Disabled, QPalette::Text));
        addFunctionItems(item, entry.children, tag);
    }
}

void addFunctionActions(QMenu* menu, const std::vector<FunctionEntry>& entries,
                        const std::function<void(long)>& open) {
    for (const FunctionEntry& entry : entries) {
        if (entry.kind == FunctionEntry::Kind::Separator) {
            menu->addSeparator();
        } else if (entry.kind == FunctionEntry::Kind::Group) {
            addFunctionActions(menu->addMenu(QString::fromStdString(entry.label)), entry.children,
                               open);
        } else {
            QAction* action = menu->addAction(QString::fromStdString(entry.label));
            action->setEnabled(entry.enabled && entry.hasGui && entry.functionId > 0);
            const long id = entry.functionId;
            QObject::connect(action, &QAction::triggered, menu, [open, id] { open(id); });
        }
    }
}

// Manufacturer and device type of the device a simulator line carries, read
// with command 0 (the HART 7 layout when the universal revision says so).
std::optional<std::pair<unsigned, unsigned>> simulatedIdentity(
    const std::string& spec, const std::filesystem::path& devicesRoot) {
    frame::BackendOpen open = frame::openBackend(spec, devicesRoot, [] { return std::int64_t{0}; });
    auto* simulated = dynamic_cast<frame::SimulatorBackend*>(open.backend.get());
    if (!simulated) return std::nullopt;
    const frame::LineAnswer answer = simulated->transact(0, {});
    const std::vector<std::uint8_t>& data = answer.data;
    if (answer.kind != frame::LineAnswer::Kind::Reply || data.size() < 5) return std::nullopt;
    if (data[4] >= 7 && data.size() >= 19)
        return std::pair<unsigned, unsigned>{(data[17] << 8) | data[18], (data[1] << 8) | data[2]};
    return std::pair<unsigned, unsigned>{data[1], data[2]};
}

}  // namespace

MainWindow::MainWindow(frame::SessionLoop& loop, frame::FrameOptions options)
    : loop_(loop), options_(std::move(options)) {
    if (options_.devicesRoot.empty()) options_.devicesRoot = frame::defaultDevicesRoot();
    const QString user = qEnvironmentVariable("USER");
    settings_.user = user.isEmpty() ? QStringLiteral("engineer") : user;
    setWindowTitle(QStringLiteral("dtmstudio"));

    tree_ = new QTreeWidget;
    tree_->setHeaderLabel(QStringLiteral("Project"));
    tree_->setMinimumWidth(300);
    tabs_ = new QTabWidget;
    tabs_->setTabsClosable(true);
    tabs_->setDocumentMode(true);
    auto* splitter = new QSplitter;
    splitter->addWidget(tree_);
    splitter->addWidget(tabs_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({340, 1000});
    setCentralWidget(splitter);

    log_ = new QPlainTextEdit;
    log_->setReadOnly(true);
    log_->setMaximumBlockCount(5000);
    log_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* dock = new QDockWidget(QStringLiteral("Event log"));
    dock->setObjectName(QStringLiteral("eventLog"));
    dock->setWidget(log_);
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    addDockWidget(Qt::BottomDockWidgetArea, dock);

    projectLabel_ = new QLabel;
    onlineLabel_ = new QLabel;
    progress_ = new QProgressBar;
    progress_->setRange(0, 100);
    progress_->setMaximumWidth(320);
    progress_->setVisible(false);
    statusBar()->addWidget(projectLabel_, 1);
    statusBar()->addPermanentWidget(progress_);
    statusBar()->addPermanentWidget(onlineLabel_);

    connect(tabs_, &QTabWidget::tabCloseRequested, this, &MainWindow::closeTab);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this] {
        updateStatus();
        updateFunctionsMenu();
    });
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (item->data(0, kKindRole).toInt() != kFunctionItem) return;
        if (const long id = item->data(0, kFunctionRole).toLongLong(); id > 0)
            openFunction(item->data(0, kTagRole).toString(), id);
    });
    buildMenus();
    resetProject();
}

MainWindow::~MainWindow() {
    // What the DTMs report while they go is neither shown nor deferred.
    closing_ = true;
    for (int i = tabs_->count() - 1; i >= 0; --i) closeTab(i);
    dropProject();
}

void MainWindow::dropProject() {
    if (!project_) return;
    // The DTMs' last events come while the project goes; nobody shows them.
    project_->setEventListener({});
    project_.reset();
}

void MainWindow::buildMenus() {
    const auto add = [this](QMenu* menu, const QString& text, QKeySequence keys, auto slot) {
        QAction* action = menu->addAction(text);
        if (!keys.isEmpty()) action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    QMenu* projectMenu = menuBar()->addMenu(QStringLiteral("&Project"));
    add(projectMenu, QStringLiteral("&New"), QKeySequence::New, [this] {
        if (confirmDiscard()) newProject();
    });
    add(projectMenu, QStringLiteral("&Open..."), QKeySequence::Open, [this] { askOpen(); });
    QAction* save = add(projectMenu, QStringLiteral("&Save"), QKeySequence::Save, [this] {
        if (project_->path().isEmpty())
            askSaveAs();
        else
            saveProject(project_->path());
    });
    add(projectMenu, QStringLiteral("Save &as..."), QKeySequence::SaveAs, [this] { askSaveAs(); });
    add(projectMenu, QStringLiteral("&Close"), QKeySequence::Close, [this] {
        if (confirmDiscard()) closeProject();
    });
    projectMenu->addSeparator();
    add(projectMenu, QStringLiteral("&Quit"), QKeySequence::Quit, [this] { close(); });

    QMenu* lineMenu = menuBar()->addMenu(QStringLiteral("&Line"));
    add(lineMenu, QStringLiteral("&Add line..."), QKeySequence(QStringLiteral("Ctrl+L")),
        [this] { addLineInteractively(); });
    add(lineMenu, QStringLiteral("&Scan line"), QKeySequence(QStringLiteral("Ctrl+F5")),
        [this] { scanSelectedLine(); });

    QMenu* deviceMenu = menuBar()->addMenu(QStringLiteral("&Device"));
    add(deviceMenu, QStringLiteral("&Add device..."), QKeySequence(QStringLiteral("Ctrl+D")),
        [this] { addDeviceInteractively(); });
    add(deviceMenu, QStringLiteral("Add simulated &positioner"), QKeySequence(),
        [this] { addSimulatedDevice(QStringLiteral("positioner"), {}); });
    add(deviceMenu, QStringLiteral("Add simulated &level device"), QKeySequence(),
        [this] { addSimulatedDevice(QStringLiteral("level"), {}); });
    add(deviceMenu, QStringLiteral("&Remove device"), QKeySequence(), [this] {
        const QString tag = selectedTag();
        if (tag.isEmpty()) return;
        closeTabsOf(tag);
        project_->removeDevice(tag);
        rebuildTree();
    });
    deviceMenu->addSeparator();
    QAction* connectAction =
        add(deviceMenu, QStringLiteral("&Connect"), QKeySequence(QStringLiteral("Ctrl+K")),
            [this] { connectDevice(); });
    QAction* disconnectAction =
        add(deviceMenu, QStringLiteral("D&isconnect"), QKeySequence(QStringLiteral("Ctrl+Shift+K")),
            [this] { disconnectDevice(); });
    QAction* uploadAction = add(deviceMenu, QStringLiteral("&Upload"),
                                QKeySequence(QStringLiteral("Ctrl+U")), [this] { uploadDevice(); });
    QAction* downloadAction =
        add(deviceMenu, QStringLiteral("Do&wnload"), QKeySequence(QStringLiteral("Ctrl+Shift+U")),
            [this] { downloadDevice(); });
    deviceMenu->addSeparator();
    QAction* parametersAction =
        add(deviceMenu, QStringLiteral("&Parameters"), QKeySequence(QStringLiteral("Ctrl+P")),
            [this] { showParameters(); });
    add(deviceMenu, QStringLiteral("Co&mpare with device"), QKeySequence(),
        [this] { showComparison(); });
    add(deviceMenu, QStringLiteral("Audit &trail"), QKeySequence(), [this] { showAudit(); });
    functionsMenu_ = menuBar()->addMenu(QStringLiteral("&Functions"));

    QMenu* settingsMenu = menuBar()->addMenu(QStringLiteral("&Settings"));
    QMenu* levels = settingsMenu->addMenu(QStringLiteral("User &level"));
    auto* levelGroup = new QActionGroup(this);
    for (const char* level : {"planningEngineer", "maintenance", "operator", "observer"}) {
        QAction* action = levels->addAction(QString::fromLatin1(level));
        action->setCheckable(true);
        action->setChecked(settings_.userLevel == level);
        levelGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, level] { setUserLevel(level); });
    }
    QMenu* languages = settingsMenu->addMenu(QStringLiteral("L&anguage"));
    auto* languageGroup = new QActionGroup(this);
    const std::pair<const char*, long> languageIds[] = {{"English", 0x0409},
                                                        {"Deutsch", 0x0407},
                                                        {"Español", 0x040A},
                                                        {"Français", 0x040C},
                                                        {"Italiano", 0x0410}};
    for (const auto& [name, id] : languageIds) {
        QAction* action = languages->addAction(QString::fromUtf8(name));
        action->setCheckable(true);
        action->setChecked(settings_.languageId == id);
        languageGroup->addAction(action);
        const long languageId = id;
        connect(action, &QAction::triggered, this, [this, languageId] { setLanguage(languageId); });
    }
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    add(help, QStringLiteral("&About"), QKeySequence(), [this] { showAbout(); });

    QToolBar* toolbar = addToolBar(QStringLiteral("Device"));
    toolbar->setObjectName(QStringLiteral("deviceToolbar"));
    toolbar->addAction(save);
    toolbar->addSeparator();
    for (QAction* action :
         {connectAction, disconnectAction, uploadAction, downloadAction, parametersAction})
        toolbar->addAction(action);
}

// --- project ---

void MainWindow::resetProject() {
    project_ = std::make_unique<Project>(loop_, options_, settings_);
    project_->setEventListener([this](DeviceSession& device, const frame::FrameEvent& event) {
        onFrameEvent(device, event);
    });
    project_->setAsker(messageBoxAsker(this));
    rebuildTree();
    updateStatus();
}

void MainWindow::newProject() {
    closeProject();
    logLine(QStringLiteral("studio: new project"));
}

void MainWindow::closeProject() {
    for (int i = tabs_->count() - 1; i >= 0; --i) closeTab(i);
    dropProject();
    resetProject();
}

bool MainWindow::openProject(const QString& path) {
    // The file is checked before the open project is given up.
    ProjectData probe;
    std::vector<std::optional<frame::DataSetImage>> images;
    if (ProjectResult read = Project::read(path, probe, images); !read) {
        report(read.error);
        return false;
    }
    closeProject();
    const ProjectResult opened = project_->open(path);
    rebuildTree();
    updateStatus();
    logLine("studio: opened " + path);
    if (!opened) {
        report(opened.error);
        return false;
    }
    return true;
}

bool MainWindow::saveProject(const QString& path) {
    const ProjectResult saved = project_->save(path);
    updateStatus();
    if (!saved) {
        report(saved.error);
        return false;
    }
    logLine("studio: saved " + path);
    return true;
}

void MainWindow::askOpen() {
    if (!confirmDiscard()) return;
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open project"), {},
                                     QStringLiteral("Projects (*.dtmproject);;All files (*)"));
    if (!path.isEmpty()) openProject(path);
}

void MainWindow::askSaveAs() {
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save project"), {},
                                                QStringLiteral("Projects (*.dtmproject)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".dtmproject"))) path += QStringLiteral(".dtmproject");
    saveProject(path);
}

bool MainWindow::confirmDiscard() {
    if (!project_->modified() || reporter_) return true;
    return QMessageBox::question(
               this, QStringLiteral("dtmstudio"),
               QStringLiteral("The project has unsaved changes. Discard them?")) ==
           QMessageBox::Yes;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!confirmDiscard()) {
        event->ignore();
        return;
    }
    for (int i = tabs_->count() - 1; i >= 0; --i) closeTab(i);
    event->accept();
}

// --- catalogue, lines and devices ---

const std::vector<CatalogueEntry>& MainWindow::catalogue() {
    if (!catalogue_) catalogue_ = readCatalogue(loop_, options_);
    return *catalogue_;
}

qint64 MainWindow::addLine(const QString& spec) {
    const qint64 id = project_->addLine(spec).id;
    rebuildTree();
    return id;
}

DeviceSession* MainWindow::addDevice(const QString& tag, const QString& progId, qint64 lineId,
                                     int address) {
    QString error;
    logLine("studio: adding " + tag + " (" + progId + ")");
    DeviceSession* device = project_->addDevice(tag, progId, lineId, address, error);
    rebuildTree();
    if (!device) report(error);
    return device;
}

DeviceSession* MainWindow::addSimulatedDevice(const QString& package, const QString& tag) {
    const QString spec = "sim:" + package;
    const auto identity = simulatedIdentity(spec.toStdString(), options_.devicesRoot);
    if (!identity) {
        report("there is no simulated device " + package);
        return nullptr;
    }
    const std::optional<QString> progId = chooseDtm(spec, identity->first, identity->second);
    if (!progId) return nullptr;
    const QString newTag = freeTag(
        tag, package == QLatin1String("level") ? QStringLiteral("LT-%1") : QStringLiteral("PV-%1"));
    return addDevice(newTag, *progId, addLine(spec), 0);
}

std::optional<QString> MainWindow::chooseDtm(const QString& where, unsigned manufacturer,
                                             unsigned deviceType) {
    const std::vector<const CatalogueEntry*> dtms =
        matchingDtms(catalogue(), manufacturer, deviceType);
    if (dtms.empty()) {
        report(
            QStringLiteral(
                "no registered DTM identifies the device on %1 (manufacturer %2, device type %3)")
                .arg(where)
                .arg(manufacturer)
                .arg(deviceType));
        return std::nullopt;
    }
    QString progId = QString::fromStdString(dtms.front()->progId);
    if (dtms.size() > 1 && !reporter_) {
        QStringList names;
        for (const CatalogueEntry* entry : dtms) names << QString::fromStdString(entry->progId);
        bool chosen = false;
        progId = QInputDialog::getItem(
            this, QStringLiteral("Add device"),
            "Several DTMs fit the device on " + where + "; choose one:", names, 0, false, &chosen);
        if (!chosen) return std::nullopt;
    }
    return progId;
}

// The wanted tag when it is free, else the first free one of the pattern.
QString MainWindow::freeTag(const QString& wanted, const QString& pattern) const {
    QString tag = wanted;
    for (int n = 1; tag.isEmpty() || project_->device(tag); ++n) tag = pattern.arg(100 + n);
    return tag;
}

void MainWindow::addDeviceInteractively() {
    if (project_->lines().empty()) addLineInteractively();
    if (project_->lines().empty()) return;
    AddDeviceDialog dialog(this, catalogue(), project_->lines(),
                           QStringLiteral("DEV-%1").arg(project_->devices().size() + 1));
    if (dialog.exec() != QDialog::Accepted || dialog.progId().isEmpty()) return;
    addDevice(dialog.tag(), dialog.progId(), dialog.lineId(), dialog.address());
}

void MainWindow::addLineInteractively() {
    LineDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted) addLine(dialog.spec());
}

void MainWindow::scanSelectedLine() {
    QTreeWidgetItem* item = tree_->currentItem();
    while (item && item->parent()) item = item->parent();
    const std::vector<LineRecord>& lines = project_->lines();
    const int index = item ? tree_->indexOfTopLevelItem(item) : (lines.size() == 1 ? 0 : -1);
    if (index < 0 || index >= static_cast<int>(lines.size())) {
        report(QStringLiteral("select the line to scan first"));
        return;
    }
    scanLine(lines[static_cast<std::size_t>(index)].id);
}

std::vector<DeviceSession*> MainWindow::scanLine(qint64 lineId) {
    constexpr unsigned kFirst = 0;
    constexpr unsigned kLast = 15;
    std::vector<DeviceSession*> added;
    const LineRecord* record = project_->line(lineId);
    if (!record) {
        report(QStringLiteral("there is no such line"));
        return added;
    }
    const QString spec = record->spec;
    // The scan opens the line once more: a DTM talking on it meanwhile would
    // garble both.
    for (const auto& device : project_->devices()) {
        if (project_->lineOf(*device) == lineId && device->connected()) {
            report("disconnect the devices on " + spec + " before scanning it");
            return added;
        }
    }
    progress_->setRange(static_cast<int>(kFirst), static_cast<int>(kLast) + 1);
    progress_->setFormat("Scan " + spec + "  %v/%m");
    progress_->setVisible(true);
    const LineScan scan =
        studio::scanLine(loop_, options_, spec.toStdString(), kFirst, kLast, [&](unsigned address) {
            progress_->setValue(static_cast<int>(address));
            statusBar()->showMessage(
                QStringLiteral("Scanning %1: polling address %2").arg(spec).arg(address));
        });
    progress_->setVisible(false);
    statusBar()->clearMessage();
    for (const std::string& note : scan.notes)
        logLine("studio: scan " + spec + ": " + QString::fromStdString(note));
    if (!scan.error.empty()) {
        report("scan " + spec + ": " + QString::fromStdString(scan.error));
        return added;
    }
    logLine(
        QStringLiteral("studio: scan %1: %2 device(s) found").arg(spec).arg(scan.devices.size()));
    if (scan.devices.empty()) {
        report(QStringLiteral("no device answers on %1 at polling addresses %2 to %3")
                   .arg(spec)
                   .arg(kFirst)
                   .arg(kLast));
        return added;
    }
    for (const frame::ScannedDevice& found : scan.devices) {
        const int address = found.pollingAddress;
        const auto present = std::find_if(
            project_->devices().begin(), project_->devices().end(), [&](const auto& device) {
                return project_->lineOf(*device) == lineId && device->identity().address == address;
            });
        if (present != project_->devices().end()) {
            logLine(QStringLiteral("studio: scan %1: address %2 is in the project already as %3")
                        .arg(spec)
                        .arg(address)
                        .arg(QString::fromStdString((*present)->identity().tag)));
            continue;
        }
        const hart::Identity& id = found.identity;
        const unsigned deviceType =
            id.universalRevision >= 7 ? id.expandedDeviceType : id.deviceType;
        const std::optional<QString> progId = chooseDtm(
            spec + QStringLiteral(" address %1").arg(address), id.manufacturerId, deviceType);
        if (!progId) continue;
        const QString tag =
            freeTag(QString::fromStdString(found.tag.empty() ? found.longTag : found.tag),
                    QStringLiteral("DEV-%1"));
        if (DeviceSession* device = addDevice(tag, *progId, lineId, address))
            added.push_back(device);
    }
    return added;
}

// --- device work ---

DeviceSession* MainWindow::deviceFor(const QString& tag) {
    const QString wanted = tag.isEmpty() ? selectedTag() : tag;
    DeviceSession* device = wanted.isEmpty() ? nullptr : project_->device(wanted);
    if (!device)
        report(wanted.isEmpty() ? QStringLiteral("select a device first")
                                : "there is no device " + wanted);
    return device;
}

bool MainWindow::runDeviceCommand(
    const QString& tag, const char* what,
    const std::function<frame::CommandResult(DeviceSession&)>& command) {
    DeviceSession* device = deviceFor(tag);
    if (!device) return false;
    const QString name = QString::fromStdString(device->identity().tag);
    logLine(QStringLiteral("studio: %1 %2").arg(QString::fromLatin1(what), name));
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const frame::CommandResult result = command(*device);
    QApplication::restoreOverrideCursor();
    logLine(QStringLiteral("studio: %1 %2: %3")
                .arg(QString::fromLatin1(what), name,
                     result.ok ? QString::fromStdString(result.output.value_or("TRUE"))
                               : "failed: " + QString::fromStdString(result.error)));
    if (QTreeWidgetItem* item = deviceItem(name)) {
        item->setText(0, deviceText(*device));
        refreshFunctions(*device, item);
    }
    updateStatus();
    updateFunctionsMenu();
    if (!result.ok)
        report(QStringLiteral("%1 of %2 failed: %3")
                   .arg(QString::fromLatin1(what), name, QString::fromStdString(result.error)));
    return result.ok;
}

bool MainWindow::connectDevice(const QString& tag) {
    return runDeviceCommand(tag, "connect", [](DeviceSession& device) { return device.connect(); });
}

bool MainWindow::disconnectDevice(const QString& tag) {
    return runDeviceCommand(tag, "disconnect",
                            [](DeviceSession& device) { return device.disconnect(); });
}

void MainWindow::startTransferProgress(const QString& title) {
    // Busy until the DTM reports a percentage or the transfer ends.
    progress_->setRange(0, 0);
    progress_->setFormat(title + "  %p%");
    progress_->setVisible(true);
}

bool MainWindow::uploadDevice(const QString& tag) {
    startTransferProgress(QStringLiteral("Upload"));
    const bool ok =
        runDeviceCommand(tag, "upload", [](DeviceSession& device) { return device.upload(); });
    if (!ok) progress_->setVisible(false);
    if (ok) {
        project_->markModified();
        DeviceSession* device = project_->device(tag.isEmpty() ? selectedTag() : tag);
        logLine(QStringLiteral("studio: upload %1: %2 parameter(s) differ from the project")
                    .arg(QString::fromStdString(device->identity().tag))
                    .arg(device->lastComparison().size()));
    }
    return ok;
}

bool MainWindow::downloadDevice(const QString& tag) {
    startTransferProgress(QStringLiteral("Download"));
    const bool ok =
        runDeviceCommand(tag, "download", [](DeviceSession& device) { return device.download(); });
    if (!ok) progress_->setVisible(false);
    return ok;
}

ViewTab* MainWindow::openFunction(const QString& tag, long functionId) {
    DeviceSession* device = deviceFor(tag);
    if (!device) return nullptr;
    const std::string invokeId = "studio-" + std::to_string(++invokeIds_);
    QString error;
    ViewTab* tab = ViewTab::open(*device, functionId, invokeId, error);
    if (!tab) {
        report(error);
        return nullptr;
    }
    QString label = QString::number(functionId);
    if (QTreeWidgetItem* item = deviceItem(QString::fromStdString(device->identity().tag))) {
        tree_->setCurrentItem(item);
        QList<QTreeWidgetItem*> pending{item};
        while (!pending.isEmpty()) {
            QTreeWidgetItem* next = pending.takeFirst();
            if (next->data(0, kKindRole).toInt() == kFunctionItem &&
                next->data(0, kFunctionRole).toLongLong() == functionId) {
                label = next->text(0);
                break;
            }
            for (int i = 0; i < next->childCount(); ++i) pending.push_back(next->child(i));
        }
    }
    tabs_->setCurrentIndex(
        tabs_->addTab(tab, QString::fromStdString(device->identity().tag) + ": " + label));
    logLine(
        QStringLiteral("studio: opened function %1 of %2 as %3")
            .arg(functionId)
            .arg(QString::fromStdString(device->identity().tag), QString::fromStdString(invokeId)));
    return tab;
}

void MainWindow::showParameters(const QString& tag) {
    DeviceSession* device = deviceFor(tag);
    if (!device) return;
    const std::string name = device->identity().tag;
    auto* page = new ParameterPage(name, [this, name](const std::string& parameter,
                                                      const std::string& value) {
        DeviceSession* target = project_->device(QString::fromStdString(name));
        if (!target) return QStringLiteral("the device is gone");
        const frame::CommandResult written = target->setParameter(parameter, value);
        logLine(QString::fromStdString("studio: SetParameters " + name + " " + parameter + " = " +
                                       value + ": " + (written.ok ? "TRUE" : written.error)));
        project_->markModified();
        for (int i = 0; i < tabs_->count(); ++i) {
            auto* shown = dynamic_cast<ParameterPage*>(tabs_->widget(i));
            if (shown && shown->tag() == name)
                QTimer::singleShot(0, shown,
                                   [shown, target] { shown->fill(target->parameters()); });
        }
        return written.ok ? QString() : QString::fromStdString(written.error);
    });
    page->fill(device->parameters());
    tabs_->setCurrentIndex(tabs_->addTab(page, QString::fromStdString(name) + ": parameters"));
}

void MainWindow::showComparison(const QString& tag) {
    DeviceSession* device = deviceFor(tag);
    if (!device) return;
    DevicePage* page = comparisonPage(device->identity().tag, device->lastComparison());
    tabs_->setCurrentIndex(
        tabs_->addTab(page, QString::fromStdString(device->identity().tag) + ": comparison"));
}

void MainWindow::showAudit(const QString& tag) {
    DeviceSession* device = deviceFor(tag);
    if (!device) return;
    const QString name = QString::fromStdString(device->identity().tag);
    DevicePage* page = auditPage(device->identity().tag, project_->audit(name));
    tabs_->setCurrentIndex(tabs_->addTab(page, name + ": audit trail"));
}

void MainWindow::closeTab(int index) {
    QWidget* widget = tabs_->widget(index);
    if (!widget) return;
    tabs_->removeTab(index);
    if (auto* view = dynamic_cast<ViewTab*>(widget)) {
        view->release();
        if (DeviceSession* device =
                project_ ? project_->device(QString::fromStdString(view->tag())) : nullptr)
            device->frame().settle();
    }
    delete widget;
}

void MainWindow::closeTabsOf(const QString& tag) {
    for (int i = tabs_->count() - 1; i >= 0; --i) {
        const QWidget* widget = tabs_->widget(i);
        const auto* view = dynamic_cast<const ViewTab*>(widget);
        const auto* page = dynamic_cast<const DevicePage*>(widget);
        if ((view && QString::fromStdString(view->tag()) == tag) ||
            (page && QString::fromStdString(page->tag()) == tag))
            closeTab(i);
    }
}

// --- tree, log and status ---

void MainWindow::rebuildTree() {
    tree_->clear();
    for (const LineRecord& line : project_->lines()) {
        auto* lineItem = new QTreeWidgetItem(tree_, {line.spec});
        lineItem->setData(0, kKindRole, kLineItem);
        for (const auto& device : project_->devices()) {
            if (project_->lineOf(*device) != line.id) continue;
            auto* item = new QTreeWidgetItem(lineItem, {deviceText(*device)});
            item->setData(0, kKindRole, kDeviceItem);
            item->setData(0, kTagRole, QString::fromStdString(device->identity().tag));
            refreshFunctions(*device, item);
            item->setExpanded(true);
        }
        for (const DeviceRecord& dormant : project_->dormantDevices()) {
            if (dormant.lineId != line.id) continue;
            auto* item = new QTreeWidgetItem(
                lineItem, {dormant.tag + "  [DTM not started]  " + dormant.progId});
            item->setForeground(0,
                                QApplication::palette().color(QPalette::Disabled, QPalette::Text));
        }
        lineItem->setExpanded(true);
    }
    updateStatus();
    updateFunctionsMenu();
}

void MainWindow::refreshFunctions(DeviceSession& device, QTreeWidgetItem* item) {
    qDeleteAll(item->takeChildren());
    addFunctionItems(item, device.functions(), QString::fromStdString(device.identity().tag));
}

QTreeWidgetItem* MainWindow::deviceItem(const QString& tag) const {
    for (int l = 0; l < tree_->topLevelItemCount(); ++l) {
        QTreeWidgetItem* line = tree_->topLevelItem(l);
        for (int d = 0; d < line->childCount(); ++d) {
            if (line->child(d)->data(0, kTagRole).toString() == tag) return line->child(d);
        }
    }
    return nullptr;
}

QString MainWindow::selectedTag() const {
    const QTreeWidgetItem* item = tree_->currentItem();
    if (!item)
        return project_->devices().size() == 1
                   ? QString::fromStdString(project_->devices()[0]->identity().tag)
                   : QString();
    return item->data(0, kTagRole).toString();
}

void MainWindow::onFrameEvent(DeviceSession& device, const frame::FrameEvent& event) {
    if (closing_) return;
    const QString tag = QString::fromStdString(device.identity().tag);
    logLine("[" + tag + "] " + QString::fromStdString(frame::formatEvent(event)));
    if (event.kind == "progress" && event.fields.size() >= 3) {
        progress_->setRange(0, 100);
        progress_->setFormat(QString::fromStdString(event.fields[0]) + "  %p%");
        progress_->setValue(QString::fromStdString(event.fields[1]).toInt());
        progress_->setVisible(event.fields[2] == "TRUE");
    } else if (event.kind == "upload-finished" || event.kind == "download-finished") {
        // The end of the frame's transfer ends its bar, whatever the DTM reported on the way.
        progress_->setRange(0, 100);
        progress_->setValue(100);
        progress_->setVisible(false);
    } else if (event.kind == "online-state" || event.kind == "functions-changed") {
        // The tree is refreshed once the DTM's call has returned.
        if (!treeRefreshPending_) {
            treeRefreshPending_ = true;
            QTimer::singleShot(0, this, [this] {
                treeRefreshPending_ = false;
                if (!project_) return;
                for (const auto& session : project_->devices()) {
                    if (QTreeWidgetItem* item =
                            deviceItem(QString::fromStdString(session->identity().tag))) {
                        item->setText(0, deviceText(*session));
                        refreshFunctions(*session, item);
                    }
                }
                updateStatus();
                updateFunctionsMenu();
            });
        }
    } else if (event.kind == "close-application" && !event.fields.empty()) {
        const std::string invokeId = event.fields[0];
        QTimer::singleShot(0, this, [this, invokeId] {
            if (!project_) return;
            for (int i = 0; i < tabs_->count(); ++i) {
                const auto* view = dynamic_cast<const ViewTab*>(tabs_->widget(i));
                if (view && view->invokeId() == invokeId) closeTab(i);
            }
        });
    }
    if (event.kind == "online-state") updateStatus();
}

void MainWindow::logLine(const QString& line) {
    log_->appendPlainText(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz  ")) +
                          line);
}

void MainWindow::report(const QString& problem) {
    logLine("studio: " + problem);
    if (reporter_)
        reporter_(problem);
    else
        QMessageBox::warning(this, QStringLiteral("dtmstudio"), problem);
}

void MainWindow::updateStatus() {
    const QString path =
        project_->path().isEmpty() ? QStringLiteral("(unsaved project)") : project_->path();
    projectLabel_->setText(path + (project_->modified() ? QStringLiteral("  *") : QString()));
    const QString tag = selectedTag();
    const DeviceSession* device = tag.isEmpty() ? nullptr : project_->device(tag);
    onlineLabel_->setText(
        device ? tag + (device->online() ? QStringLiteral(": online") : QStringLiteral(": offline"))
               : QStringLiteral("no device selected"));
}

void MainWindow::updateFunctionsMenu() {
    functionsMenu_->clear();
    const QString tag = selectedTag();
    DeviceSession* device = tag.isEmpty() ? nullptr : project_->device(tag);
    if (!device) {
        functionsMenu_->addAction(QStringLiteral("(select a device)"))->setEnabled(false);
        return;
    }
    addFunctionActions(functionsMenu_, device->functions(),
                       [this, tag](long id) { openFunction(tag, id); });
}

void MainWindow::setUserLevel(const std::string& level) {
    settings_.userLevel = level;
    logLine(QString::fromStdString("studio: user level " + level +
                                   " (DTMs hear it when they are next configured)"));
}

void MainWindow::setLanguage(long languageId) {
    settings_.languageId = languageId;
    project_->applyLanguage(languageId);
    rebuildTree();
}

void MainWindow::showAbout() {
    QMessageBox::about(
        this, QStringLiteral("dtmstudio"),
        QStringLiteral("dtmstudio: a frame application for HART DTMs, with SQLite projects."));
}

}  // namespace studio
