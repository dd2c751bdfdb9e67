#include "views/elements/viewing_element.h"

#include <atomic>

namespace views::elements {
namespace {

// Owner ids of the view module's observers: counted, so that no two live
// elements share one (an address cut to 32 bits could).
LONG nextOwnerId() {
    static std::atomic<LONG> next{0x5A000001};
    return next++;
}

}  // namespace

QFont moduleFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    return font;
}

QRect toQRect(const Rect& rect) {
    return QRect(rect.left, rect.top, rect.width(), rect.height());
}

CZorViewingElement::CZorViewingElement() : ownerId_(nextOwnerId()) {}

CZorViewingElement::~CZorViewingElement() {
    // Only reached when the engine holds no registration of this element
    // any more; the widget may still be there when destroy() never ran.
    if (!destroyed_) delete outerWidget_.data();
}

HRESULT CZorViewingElement::Changed(VARIANT para_id) {
    // A widget deleted by its container (the view window gone) ends the refreshes.
    if (!destroyed_ && outerWidget_) onChanged(para_id.lVal);
    return S_OK;
}

HRESULT CZorViewingElement::GetOwnerID(LONG* owner_id) {
    if (!owner_id) return E_POINTER;
    *owner_id = ownerId_;
    return S_OK;
}

void CZorViewingElement::place(CZorViewingElement* parent, QWidget* host, const Rect& rect,
                               const Anchor& anchor, std::shared_ptr<const ViewContext> context) {
    parent_ = parent;
    host_ = host;
    design_ = rect;
    anchor_ = anchor;
    context_ = std::move(context);
    if (host) designParent_ = {host->width(), host->height()};
}

void CZorViewingElement::adopt(com::ComPtr<IObserver> reference, CZorViewingElement* child) {
    childReferences_.push_back(std::move(reference));
    childElements_.push_back(child);
}

void CZorViewingElement::finishCreate(QWidget* outer, std::int32_t id, bool withTooltip) {
    outerWidget_ = outer;
    if (outer) {
        outer->setFont(moduleFont());
        outer->setGeometry(toQRect(design_));
        if (!labelKey_.empty()) outer->setProperty(kKeyProperty, QString::fromStdString(labelKey_));
        if (id >= 0) outer->setProperty(kParamProperty, id);
    }
    if (id >= 0) observe(id);
    if (withTooltip && id >= 0 && outer) {
        const EngineCalls calls = engine();
        outer->setToolTip(QString::fromStdString(calls.translate(calls.description(id))));
    }
    onChanged(id);
}

void CZorViewingElement::observe(std::int32_t id) {
    engine().registerObserver(id, asDispatch());
    ids_.push_back(id);
}

void CZorViewingElement::destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    for (CZorViewingElement* child : childElements_) child->destroy();
    const EngineCalls calls = engine();
    for (std::int32_t id : ids_) calls.unregisterObserver(id, asDispatch());
    ids_.clear();
    delete outerWidget_.data();
    childElements_.clear();
    childReferences_.clear();
    context_.reset();
}

void CZorViewingElement::applyVisibility() {
    if (!outerWidget_ || ids_.empty()) return;
    const bool visible = engine().isVisible(ids_.front());
    if (visible) {
        if (outerWidget_->isHidden()) {
            outerWidget_->show();
            outerWidget_->update();
        }
        return;
    }
    if (outerWidget_->isHidden()) return;
    outerWidget_->hide();
    // The gap the element leaves is repainted by its parent and grandparent.
    if (QWidget* up = outerWidget_->parentWidget()) {
        up->update();
        if (QWidget* upper = up->parentWidget()) upper->update();
    }
}

void CZorViewingElement::onChanged(std::int32_t) {
    applyVisibility();
}

void CZorViewingElement::resizeTo(Size parentSize) {
    if (!outerWidget_) return;
    const Rect rect = anchoredRect(design_, anchor_, designParent_, parentSize);
    const QRect wanted = toQRect(rect);
    if (wanted == outerWidget_->geometry()) return;
    if (anchor_.left != 0 || anchor_.top != 0) {
        outerWidget_->setGeometry(wanted);
    } else {
        outerWidget_->resize(wanted.size());
    }
    outerWidget_->update();
    for (CZorViewingElement* child : childElements_) child->resizeTo({rect.width(), rect.height()});
}

}  // namespace views::elements
