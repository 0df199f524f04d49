#include "gui/platform/win32/win32_drop_target.h"

namespace VSTGUI::platform::win32 {

HRESULT STDMETHODCALLTYPE DropTarget::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DropTarget::AddRef() {
  return static_cast<ULONG>(++references_);
}

ULONG STDMETHODCALLTYPE DropTarget::Release() {
  const LONG left = --references_;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

DWORD DropTarget::chosenEffect(DWORD allowed) {
  if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  if (allowed & DROPEFFECT_MOVE) return DROPEFFECT_MOVE;
  if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
  return DROPEFFECT_NONE;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = chosenEffect(*effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = chosenEffect(*effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragLeave() {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::Drop(IDataObject*, DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = chosenEffect(*effect);
  return S_OK;
}

}  // namespace VSTGUI::platform::win32
