#pragma once
// The studio's main window: the project tree (lines, their devices with tag,
// DTM and online state, and each device's functions), the tabs for views and
// device pages, the event log of every frame event, the status bar with the
// online state and the progress of the DTM's transfers, and the menus,
// toolbar and shortcuts of the actions. Every action is also a public
// function, for the command line and the tests.

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "frame/session_loop.h"
#include "studio/catalogue.h"
#include "studio/project.h"

class QTreeWidget;
class QTreeWidgetItem;
class QTabWidget;
class QPlainTextEdit;
class QProgressBar;
class QLabel;
class QMenu;

namespace studio {

class ViewTab;

class MainWindow : public QMainWindow {
public:
    // Problems are shown in a message box unless a reporter is set.
    using Reporter = std::function<void(const QString& problem)>;

    MainWindow(frame::SessionLoop& loop, frame::FrameOptions options);
    ~MainWindow() override;

    void setReporter(Reporter reporter) { reporter_ = std::move(reporter); }
    StudioSettings& settings() { return settings_; }
    Project& project() { return *project_; }

    // --- project ---
    void newProject();
    bool openProject(const QString& path);
    bool saveProject(const QString& path);
    // Releases every DTM and starts an empty project.
    void closeProject();

    // --- catalogue, lines and devices ---
    const std::vector<CatalogueEntry>& catalogue();
    qint64 addLine(const QString& spec);
    DeviceSession* addDevice(const QString& tag, const QString& progId, qint64 lineId, int address);
    // A simulated device ("positioner", "level") on its own simulator line,
    // with the DTM that identifies it.
    DeviceSession* addSimulatedDevice(const QString& package, const QString& tag);
    // Scans the line at polling addresses 0 to 15 and adds every device found
    // that is not in the project yet, with the DTM that identifies it, its
    // polling address and its tag. Returns the devices added.
    std::vector<DeviceSession*> scanLine(qint64 lineId);

    // --- device work (the device selected in the tree when tag is empty) ---
    bool connectDevice(const QString& tag = {});
    bool disconnectDevice(const QString& tag = {});
    bool uploadDevice(const QString& tag = {});
    bool downloadDevice(const QString& tag = {});
    // Opens the function's view in a tab; null when it cannot be opened.
    ViewTab* openFunction(const QString& tag, long functionId);
    void showParameters(const QString& tag = {});
    void showComparison(const QString& tag = {});
    void showAudit(const QString& tag = {});
    // Closes the tab, releasing a view in it first.
    void closeTab(int index);

    QTreeWidget* projectTree() const { return tree_; }
    QTabWidget* tabs() const { return tabs_; }
    QPlainTextEdit* eventLog() const { return log_; }
    QProgressBar* progressBar() const { return progress_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void resetProject();
    void dropProject();
    void rebuildTree();
    void refreshFunctions(DeviceSession& device, QTreeWidgetItem* deviceItem);
    QTreeWidgetItem* deviceItem(const QString& tag) const;
    DeviceSession* deviceFor(const QString& tag);
    QString selectedTag() const;
    void onFrameEvent(DeviceSession& device, const frame::FrameEvent& event);
    void logLine(const QString& line);
    void report(const QString& problem);
    bool runDeviceCommand(const QString& tag, const char* what,
                          const std::function<frame::CommandResult(DeviceSession&)>& command);
    void closeTabsOf(const QString& tag);
    void startTransferProgress(const QString& title);
    void updateStatus();
    void updateFunctionsMenu();
    void addDeviceInteractively();
    void addLineInteractively();
    void askOpen();
    void askSaveAs();
    bool confirmDiscard();
    void showAbout();
    void scanSelectedLine();
    // The DTM for a device: the only one that identifies it, or the user's
    // choice when several do; none (and the user told) when none does.
    std::optional<QString> chooseDtm(const QString& where, unsigned manufacturer,
                                     unsigned deviceType);
    QString freeTag(const QString& wanted, const QString& pattern) const;
    void setUserLevel(const std::string& level);
    void setLanguage(long languageId);

    frame::SessionLoop& loop_;
    frame::FrameOptions options_;
    StudioSettings settings_;
    std::unique_ptr<Project> project_;
    std::optional<std::vector<CatalogueEntry>> catalogue_;
    Reporter reporter_;
    QTreeWidget* tree_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* onlineLabel_ = nullptr;
    QLabel* projectLabel_ = nullptr;
    QMenu* functionsMenu_ = nullptr;
    std::uint64_t invokeIds_ = 0;
    bool treeRefreshPending_ = false;
    bool closing_ = false;
};

}  // namespace studio
