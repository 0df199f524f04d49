#include "gui/platform/gdiplus/resource_stream.h"

#include <cstring>

namespace VSTGUI {

ResourceStream::ResourceStream(const void* data, ULONG size)
    : data_(static_cast<const unsigned char*>(data)), size_(data ? size : 0) {}

HRESULT STDMETHODCALLTYPE ResourceStream::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IStream) ||
      IsEqualIID(iid, IID_ISequentialStream)) {
    *object = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE ResourceStream::AddRef() {
  return static_cast<ULONG>(++references_);
}

ULONG STDMETHODCALLTYPE ResourceStream::Release() {
  const LONG left = --references_;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE ResourceStream::Read(void* buffer, ULONG count, ULONG* bytesRead) {
  // In 64 bits: a huge count must not wrap around to a small end.
  if (static_cast<ULONGLONG>(position_) + count > size_) return S_FALSE;
  if (count > 0) {
    if (!buffer) return STG_E_INVALIDPOINTER;
    std::memcpy(buffer, data_ + position_, count);
  }
  position_ += count;
  if (bytesRead) *bytesRead = count;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ResourceStream::Write(const void*, ULONG, ULONG*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ResourceStream::Seek(LARGE_INTEGER move, DWORD origin,
                                               ULARGE_INTEGER* newPosition) {
  LONGLONG target = 0;
  switch (origin) {
    case STREAM_SEEK_SET:
      target = move.QuadPart;
      break;
    case STREAM_SEEK_CUR:
      // Both terms are far from the limits of 64 bits: no overflow.
      if (move.QuadPart > static_cast<LONGLONG>(size_) || move.QuadPart < -static_cast<LONGLONG>(size_))
        return S_FALSE;
      target = static_cast<LONGLONG>(position_) + move.QuadPart;
      break;
    case STREAM_SEEK_END:
      return S_FALSE;
    default:
      return STG_E_INVALIDFUNCTION;
  }
  if (target < 0 || target >= static_cast<LONGLONG>(size_)) return S_FALSE;
  position_ = static_cast<ULONG>(target);
  if (newPosition) newPosition->QuadPart = position_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ResourceStream::SetSize(ULARGE_INTEGER) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ResourceStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ResourceStream::Commit(DWORD) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ResourceStream::Revert() {
  position_ = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ResourceStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ResourceStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ResourceStream::Stat(STATSTG* statistics, DWORD) {
  if (!statistics) return STG_E_INVALIDPOINTER;
  std::memset(statistics, 0, sizeof *statistics);
  statistics->cbSize.QuadPart = size_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ResourceStream::Clone(IStream**) {
  return E_NOTIMPL;
}

}  // namespace VSTGUI
