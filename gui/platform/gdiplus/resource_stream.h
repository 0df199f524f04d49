#pragma once
// A read-only COM stream over a block of memory (a module resource), for the
// GDI+ decoder. The bytes are not owned and must outlive every reference:
// the decoder keeps one until its picture is disposed.
#include <atomic>

#include "gui/platform/gdiplus/gdiplus_api.h"

namespace VSTGUI {

class ResourceStream final : public IStream {
 public:
  // Count 1 at construction; Release deletes the stream at 0.
  ResourceStream(const void* data, ULONG size);
  ResourceStream(const ResourceStream&) = delete;
  ResourceStream& operator=(const ResourceStream&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ISequentialStream. A read that would pass the end copies nothing and
  // answers S_FALSE without writing bytesRead.
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* bytesRead) override;
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* bytesWritten) override;

  // IStream. Seeks from the start or the current position to a position
  // inside the data (0 ≤ position < size); others are refused with S_FALSE.
  // Seeks from the end answer S_FALSE, unknown origins STG_E_INVALIDFUNCTION.
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override;
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
  HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                   ULARGE_INTEGER* written) override;
  HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Revert() override;
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* statistics, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Clone(IStream** copy) override;

  ULONG position() const { return position_; }

 private:
  ~ResourceStream() = default;

  const unsigned char* data_;
  ULONG position_ = 0;
  ULONG size_;
  std::atomic<LONG> references_{1};
};

}  // namespace VSTGUI
