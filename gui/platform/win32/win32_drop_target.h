#pragma once
// The OLE drop target every frame window registers. No view of this
// plug-in takes drops, so it only answers the drag source: copy when the
// source allows it, else move, else link.
#include <atomic>

#include "gui/platform/gdiplus/gdiplus_api.h"

namespace VSTGUI::platform::win32 {

class DropTarget final : public IDropTarget {
 public:
  DropTarget() = default;
  DropTarget(const DropTarget&) = delete;
  DropTarget& operator=(const DropTarget&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

  // The effect answered for the effects a source allows.
  static DWORD chosenEffect(DWORD allowed);

 private:
  ~DropTarget() = default;
  std::atomic<LONG> references_{1};
};

}  // namespace VSTGUI::platform::win32
