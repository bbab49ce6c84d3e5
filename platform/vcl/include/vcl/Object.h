#pragma once

// The root of the toolkit's classes: event handlers receive the object that raised the
// event as `TObject* Sender`.

#include <functional>

namespace vcl {

class TObject {
  public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // Runs BeforeDestruction (a form raises OnDestroy there, while it is still whole), then
    // deletes the object. Objects made with new are freed this way.
    void Free() {
        BeforeDestruction();
        delete this;
    }
    virtual void BeforeDestruction() {}
};

// Handler of a plain notification (OnClick, OnChange, OnActivate, OnCreate, ...).
using TNotifyEvent = std::function<void(TObject* Sender)>;

} // namespace vcl
