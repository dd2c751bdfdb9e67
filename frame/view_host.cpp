#include "frame/view_host.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>

#include "frame/dtm_tap.h"
#include "frame/frame_documents.h"
#include "frame/hresult_text_p.h"
#include "idl/dtm_view_hosting.h"
#include "platform/com/activation.h"
#include "platform/com/bstr.h"

namespace frame {
namespace {

namespace hosting = idl::view_hosting;

// Qt's notes about the headless platform itself (no runtime folder, no
// window manager) say nothing about the views; everything else is printed.
void printQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.contains(QLatin1String("XDG_RUNTIME_DIR")) ||
        message.contains(QLatin1String("propagateSizeHints")))
        return;
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    std::fprintf(stderr, "dtmframe: qt: %s\n", message.toLocal8Bit().constData());
}

// The process's one QApplication; made at the first view and kept.
void ensureApplication() {
    if (QApplication::instance()) return;
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!display || !*display) && (!wayland || !*wayland) && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(printQtMessage);
    static int argc = 1;
    static char name[] = "dtmframe";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the process
}

// Visible widgets of type W under `top` whose property equals `value`.
template <class W>
std::vector<W*> findByProperty(QWidget* top, const char* property, const QVariant& value) {
    std::vector<W*> found;
    for (W* widget : top->findChildren<W*>()) {
        if (widget->property(property) == value && widget->isVisibleTo(top)) found.push_back(widget);
    }
    return found;
}

void sendFocus(QWidget* widget, QEvent::Type type) {
    QFocusEvent event(type, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(widget, &event);
}

std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> keys;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::string key = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (!key.empty()) keys.push_back(key);
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    return keys;
}

}  // namespace

struct ViewHost::State {
    com::ComPtr<IDtmActiveXControl> control;
    com::ComPtr<IDtm> tap;
    std::unique_ptr<QWidget> window;
    QWidget* view = nullptr;
    long functionId = 0;
};

ViewHost::ViewHost(Frame& frame) : frame_(frame) {}

ViewHost::~ViewHost() {
    close();
}

bool ViewHost::viewOpen() const {
    return state_ && state_->control;
}

std::optional<CommandResult> ViewHost::run(const ScriptLine& line) {
    const std::string& verb = line.command;
    if (verb == "release") {
        if (viewOpen()) close();
        return std::nullopt;
    }
    if (verb == "view") return open(*parseNumber(line.words.front()));
    if (verb == "menu") return menu(line.rest);
    if (verb == "press") return press(line.rest);
    if (verb == "type") return type(*parseParameterId(line.words.front()), line.rest);
    if (verb == "choose") return choose(*parseParameterId(line.words.front()), line.rest);
    if (verb == "shot") return shot(line.rest);
    if (verb == "closeview") return close();
    return std::nullopt;
}

CommandResult ViewHost::open(long functionId) {
    if (viewOpen()) return CommandResult::failure("a view is open already; closeview first");
    const com::ComPtr<IUnknown> dtm = frame_.dtm();
    if (!dtm) return CommandResult::failure("no DTM: create one first");
    const auto info = dtm.as<IDtmActiveXInformation>();
    if (!info) return CommandResult::failure("the DTM has no IDtmActiveXInformation");
    const std::string call = functionCallDocument(functionId);
    com::Bstr progId;
    const HRESULT progHr = info->GetActiveXProgId(com::Bstr::fromUtf8(call).get(), progId.out());
    if (FAILED(progHr) || progId.isNull() || progId.length() == 0)
        return CommandResult::failure("the DTM names no view for function " + std::to_string(functionId));
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(progId.get(), &clsid)))
        return CommandResult::failure("view " + progId.utf8() + " is not registered");

    ensureApplication();
    auto state = std::make_unique<State>();
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IDtmActiveXControl::iid,
                                       state->control.putVoid());
    if (FAILED(hr)) return CommandResult::failure("cannot create " + progId.utf8() + " (" + hresultText(hr) + ")");
    state->tap = com::ComInstance<DtmTap>::make<IDtm>(dtm.get(), frame_.events());
    const std::string invokeId = "view-" + std::to_string(functionId);
    VARIANT_BOOL built = VARIANT_FALSE;
    hr = state->control->Init(com::Bstr::fromUtf8(invokeId).get(), com::Bstr::fromUtf8(call).get(),
                              state->tap.get(), &built);
    state_ = std::move(state);
    if (FAILED(hr) || built == VARIANT_FALSE) {
        close();
        return CommandResult::failure("Init of " + progId.utf8() + " answered " +
                                      (FAILED(hr) ? hresultText(hr) : std::string("FALSE")));
    }
    void* widget = nullptr;
    if (const auto hostingItf = state_->control.as<IDtmViewHosting>())
        hostingItf->GetWidget(&widget);
    state_->view = static_cast<QWidget*>(widget);
    if (!state_->view) {
        close();
        return CommandResult::failure(progId.utf8() + " gave no widget to host");
    }
    state_->functionId = functionId;
    state_->window = std::make_unique<QWidget>();
    state_->window->setWindowTitle(QString::fromStdString(progId.utf8()));
    auto* layout = new QVBoxLayout(state_->window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(state_->view);
    state_->window->resize(state_->view->size());
    state_->window->show();
    QCoreApplication::processEvents();
    return CommandResult::success("view " + std::to_string(functionId) + ": " + progId.utf8() + " TRUE");
}

CommandResult ViewHost::menu(const std::string& path) {
    if (!viewOpen()) return CommandResult::failure("no view is open");
    const std::vector<std::string> keys = splitPath(path);
    const auto trees = state_->view->findChildren<QTreeWidget*>();
    QTreeWidget* tree = nullptr;
    // The menu tree keeps label keys as texts; the fault lists keep ids.
    for (QTreeWidget* candidate : trees) {
        if (candidate->topLevelItemCount() > 0 &&
            candidate->topLevelItem(0)->data(0, hosting::kTreeKeyRole).typeId() == QMetaType::QString)
            tree = candidate;
    }
    if (!tree) return CommandResult::failure("the view has no menu tree");
    QTreeWidgetItem* item = nullptr;
    for (const std::string& key : keys) {
        const int count = item ? item->childCount() : tree->topLevelItemCount();
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < count && !next; ++i) {
            QTreeWidgetItem* candidate = item ? item->child(i) : tree->topLevelItem(i);
            if (candidate->data(0, hosting::kTreeKeyRole).toString().toStdString() == key) next = candidate;
        }
        if (!next) {
            std::string known;
            for (int i = 0; i < count; ++i) {
                QTreeWidgetItem* candidate = item ? item->child(i) : tree->topLevelItem(i);
                known += (known.empty() ? "" : ", ") + candidate->data(0, hosting::kTreeKeyRole).toString().toStdString();
            }
            return CommandResult::failure("no menu item '" + key + "' in " + path + " (there: " + known + ")");
        }
        item = next;
    }
    if (!item) return CommandResult::failure("menu: no key given");
    tree->setCurrentItem(item);
    QCoreApplication::processEvents();
    return CommandResult::success("menu " + path + ": " + item->text(0).toStdString());
}

CommandResult ViewHost::press(const std::string& captionKey) {
    if (!viewOpen()) return CommandResult::failure("no view is open");
    const auto buttons = findByProperty<QAbstractButton>(state_->view, hosting::kKeyProperty,
                                                         QString::fromStdString(captionKey));
    if (buttons.empty()) return CommandResult::failure("no visible button '" + captionKey + "'");
    QAbstractButton* button = buttons.front();
    if (!button->isEnabled()) return CommandResult::failure("button '" + captionKey + "' is disabled");
    button->click();
    QCoreApplication::processEvents();
    return CommandResult::success("pressed " + captionKey);
}

CommandResult ViewHost::type(std::int32_t id, const std::string& text) {
    if (!viewOpen()) return CommandResult::failure("no view is open");
    const auto fields = findByProperty<QLineEdit>(state_->view, hosting::kParamProperty, id);
    if (fields.empty()) return CommandResult::failure("no visible value field of parameter " + std::to_string(id));
    QLineEdit* field = fields.front();
    if (!field->isEnabled() || field->isReadOnly())
        return CommandResult::failure("the value field of parameter " + std::to_string(id) + " is not editable");
    sendFocus(field, QEvent::FocusIn);
    field->setText(QString::fromStdString(text));
    sendFocus(field, QEvent::FocusOut);
    QCoreApplication::processEvents();
    return CommandResult::success("typed into " + std::to_string(id) + ": " + field->text().toStdString());
}

CommandResult ViewHost::choose(std::int32_t id, const std::string& entry) {
    if (!viewOpen()) return CommandResult::failure("no view is open");
    const auto boxes = findByProperty<QComboBox>(state_->view, hosting::kParamProperty, id);
    if (boxes.empty()) return CommandResult::failure("no visible enumeration of parameter " + std::to_string(id));
    QComboBox* box = boxes.front();
    int index = box->findText(QString::fromStdString(entry), Qt::MatchExactly);
    if (index < 0) {
        if (const std::optional<long> number = parseNumber(entry)) index = box->findData(QVariant::fromValue<qlonglong>(*number));
    }
    if (index < 0) return CommandResult::failure("parameter " + std::to_string(id) + " has no entry '" + entry + "'");
    if (!box->isEnabled()) return CommandResult::failure("the enumeration of parameter " + std::to_string(id) + " is disabled");
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
    QCoreApplication::processEvents();
    return CommandResult::success("chose " + box->itemText(index).toStdString() + " for " + std::to_string(id));
}

CommandResult ViewHost::shot(const std::string& file) {
    if (!viewOpen()) return CommandResult::failure("no view is open");
    QCoreApplication::processEvents();
    const QImage image = state_->window->grab().toImage();
    if (image.isNull() || !image.save(QString::fromStdString(file), "PNG"))
        return CommandResult::failure("cannot write " + file);
    return CommandResult::success("shot " + file + " " + std::to_string(image.width()) + "x" +
                                  std::to_string(image.height()));
}

CommandResult ViewHost::close() {
    if (!state_) return CommandResult::failure("no view is open");
    std::unique_ptr<State> state = std::move(state_);
    if (state->control) {
        VARIANT_BOOL released = VARIANT_FALSE;
        state->control->PrepareToRelease(&released);
        state->control.reset();
    }
    state->tap.reset();
    state->window.reset();
    CoFreeUnusedLibraries();
    return CommandResult::success("closeview");
}

}  // namespace frame

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig keeps its caches until the process ends; they are not ours.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif

#if defined(__SANITIZE_ADDRESS__)
// The suppression above is expected; its summary would only clutter stderr,
// which scripts and tests read for real errors.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_options() {
    return "print_suppressions=0";
}
#endif
