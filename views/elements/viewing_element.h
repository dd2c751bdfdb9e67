#pragma once
// CZorViewingElement: the base of every element of a view. An element is a
// COM object (IZorViewingElement, IObserver) bound to at most a few engine
// parameters; it owns one widget (its outer window), knows its parent and
// children, follows the anchor rule when its parent changes size, and
// refreshes itself in onChanged() whenever the engine calls Changed.
//
// Lifetime: the parent holds a reference to each child; the view control
// holds the top elements. destroy() unregisters the element's observers
// (depth first), deletes its widget and drops the children; afterwards the
// element is inert and goes when its last reference does.

#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "idl/dtm_view_hosting.h"
#include "idl/qad_generic_dtm.h"
#include "idl/zor_dtm_view.h"
#include "platform/com/no_late_binding.h"
#include "platform/com/object.h"
#include "views/elements/element_logic.h"
#include "views/elements/engine_calls.h"

namespace views::elements {

// Widget properties through which a container finds an element's widget by
// the element's label key or parameter id (the frame's view commands).
inline constexpr const char* kKeyProperty = idl::view_hosting::kKeyProperty;
inline constexpr const char* kParamProperty = idl::view_hosting::kParamProperty;

// What every element of one view shares.
struct ViewContext {
    com::ComPtr<IQadGenericDTMObject> engine;
    std::string bitmapDirectory;  // with its trailing separator; may be empty
    // Seconds on the view's clock (the apartment loop's time plus the wall
    // clock at the view's start): the trend chart's sampling time.
    std::int64_t (*secondsNow)(const ViewContext&) = nullptr;
    std::int64_t wallClockAtStart = 0;  // seconds since the epoch
    std::int64_t loopMsAtStart = 0;
    // The module's icons, drawn once per view (by resource id or index).
    mutable std::map<long, QPixmap> markIcons;
    mutable std::map<long, QIcon> faultIcons;
};

class CZorViewingElement : public com::ComObjectRoot,
                           public com::NoLateBinding<IZorViewingElement, IObserver> {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<CZorViewingElement, IZorViewingElement>(),
            com::entry<CZorViewingElement, IObserver>(),
            com::entryAs<CZorViewingElement, IZorViewingElement>(IDispatch::iid),
        };
        return table;
    }

    // IObserver: Changed calls onChanged with the id the VARIANT holds.
    HRESULT Changed(VARIANT para_id) override;
    HRESULT Finished(VARIANT para_id) override { return E_NOTIMPL; }
    // The element's identity: a number no other live element answers.
    HRESULT GetOwnerID(LONG* owner_id) override;

    // Binds the element under `parent` (null for a top element of the view)
    // with its widget inside `host` at the design rectangle. Call once, before
    // the kind's own creation.
    void place(CZorViewingElement* parent, QWidget* host, const Rect& rect, const Anchor& anchor,
               std::shared_ptr<const ViewContext> context);

    // Unregisters the observers of this element and of every element below
    // it (depth first), deletes the widgets and drops the children. Twice is
    // harmless.
    void destroy();

    // The anchor rule for a parent now `parentSize` large; children follow.
    virtual void resizeTo(Size parentSize);

    // Refreshes after parameter `id` changed. The base runs the visibility rule.
    virtual void onChanged(std::int32_t id);

    QWidget* outerWidget() const { return outerWidget_; }
    // The widget the children are placed in.
    virtual QWidget* childHost() const { return outerWidget_; }
    CZorViewingElement* parent() const { return parent_; }
    const std::vector<CZorViewingElement*>& children() const { return childElements_; }
    const std::vector<std::int32_t>& parameterIds() const { return ids_; }
    std::int32_t mainId() const { return ids_.empty() ? -1 : ids_.front(); }
    const Rect& designRect() const { return design_; }
    const std::string& labelKey() const { return labelKey_; }
    const ViewContext* context() const { return context_.get(); }
    std::shared_ptr<const ViewContext> sharedContext() const { return context_; }
    EngineCalls engine() const { return EngineCalls(context_ ? context_->engine.get() : nullptr); }
    IDispatch* asDispatch() { return static_cast<IObserver*>(this); }

    // Creates an element of kind E as a child of `parent` and places it.
    // Returns null when the object cannot be made. `reference`, when given,
    // receives a reference of its own (top elements, kept by the control).
    template <class E>
    static E* make(CZorViewingElement* parent, QWidget* host, const Rect& rect,
                   const Anchor& anchor, std::shared_ptr<const ViewContext> context,
                   com::ComPtr<IObserver>* reference = nullptr);

    // Keeps a reference to a child made outside make().
    void adopt(com::ComPtr<IObserver> reference, CZorViewingElement* child);

protected:
    CZorViewingElement();
    ~CZorViewingElement() override;

    // Installs the element's widget at the design rectangle (module font,
    // the key and id as widget properties), registers the observer of `id`
    // when it is 0 or more, adds the tooltip and refreshes once.
    void finishCreate(QWidget* outer, std::int32_t id, bool withTooltip);
    // Registers one more observed parameter.
    void observe(std::int32_t id);
    // The visibility rule: shown while the first parameter is visible.
    void applyVisibility();

    void setLabelKey(std::string key) { labelKey_ = std::move(key); }
    void setFormat(std::string format) { format_ = std::move(format); }
    const std::string& format() const { return format_; }
    QWidget* host() const { return host_; }

private:
    std::shared_ptr<const ViewContext> context_;
    QPointer<QWidget> outerWidget_;
    QPointer<QWidget> host_;
    std::vector<std::int32_t> ids_;
    std::vector<com::ComPtr<IObserver>> childReferences_;
    std::vector<CZorViewingElement*> childElements_;
    CZorViewingElement* parent_ = nullptr;
    Anchor anchor_{};
    Rect design_{};
    Size designParent_{};
    std::string labelKey_;
    std::string format_ = "&s";
    LONG ownerId_;
    bool destroyed_ = false;
};

template <class E>
E* CZorViewingElement::make(CZorViewingElement* parent, QWidget* host, const Rect& rect,
                            const Anchor& anchor, std::shared_ptr<const ViewContext> context,
                            com::ComPtr<IObserver>* reference) {
    com::ComPtr<IObserver> made = com::ComInstance<E>::template make<IObserver>();
    if (!made) return nullptr;
    E* element = static_cast<E*>(made.get());
    element->place(parent, host, rect, anchor, std::move(context));
    if (reference) *reference = made;
    if (parent) parent->adopt(std::move(made), element);
    return element;
}

// The font of every element: the system's sans-serif face at 13 pixels.
QFont moduleFont();
// The element's rectangle as a Qt rectangle.
QRect toQRect(const Rect& rect);

}  // namespace views::elements
