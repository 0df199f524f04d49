#pragma once
#include <cstdint>

namespace VSTGUI {

// Reference-counted base of every GUI object: one reference at construction,
// remember() adds one, forget() drops one and deletes the object at zero.
// [gui] Not thread-safe: GUI objects live on the editor window's thread.
class CBaseObject {
 public:
  CBaseObject() = default;
  CBaseObject(const CBaseObject&) = delete;
  CBaseObject& operator=(const CBaseObject&) = delete;
  virtual ~CBaseObject() = default;

  virtual void forget() {
    if (--nbReference_ == 0) delete this;
  }
  virtual void remember() { ++nbReference_; }
  // Notification hook; no class of this system sends or handles messages.
  virtual int32_t notify(CBaseObject* /*sender*/, const char* /*message*/) { return 0; }

  int32_t getNbReference() const { return nbReference_; }

 private:
  int32_t nbReference_ = 1;
};

}  // namespace VSTGUI
