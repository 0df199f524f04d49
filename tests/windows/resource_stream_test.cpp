// The COM stream GDI+ decodes the module's pictures from: its exact answers
// to reads, seeks, statistics and reverts, and its reference count.
#include <gtest/gtest.h>

#include <cstring>

#include "gui/platform/gdiplus/resource_stream.h"

using VSTGUI::ResourceStream;

namespace {

const unsigned char kBytes[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

// Seeks and reports the answer and the position written back.
HRESULT SeekTo(IStream* s, LONGLONG move, DWORD origin, ULONGLONG* written = nullptr) {
  LARGE_INTEGER m;
  m.QuadPart = move;
  ULARGE_INTEGER out;
  out.QuadPart = 0xDEAD;
  const HRESULT r = s->Seek(m, origin, &out);
  if (written) *written = out.QuadPart;
  return r;
}

struct StreamHolder {
  ResourceStream* stream = new ResourceStream(kBytes, sizeof kBytes);
  ~StreamHolder() { stream->Release(); }
};

}  // namespace

TEST(ResourceStream, ReadsCopyWholeRequestsOrNothing) {
  StreamHolder h;
  unsigned char buffer[16] = {};
  ULONG read = 77;
  EXPECT_EQ(h.stream->Read(buffer, 4, &read), S_OK);
  EXPECT_EQ(read, 4u);
  EXPECT_EQ(buffer[3], 3);
  EXPECT_EQ(h.stream->position(), 4u);

  // Seven more would pass the end: nothing copied, count not written.
  buffer[0] = 0xAA;
  read = 77;
  EXPECT_EQ(h.stream->Read(buffer, 7, &read), S_FALSE);
  EXPECT_EQ(read, 77u);
  EXPECT_EQ(buffer[0], 0xAA);
  EXPECT_EQ(h.stream->position(), 4u);

  // Exactly up to the end is fine, without a count to write.
  EXPECT_EQ(h.stream->Read(buffer, 6, nullptr), S_OK);
  EXPECT_EQ(buffer[5], 9);
  // A count that wraps around 32 bits is still past the end.
  EXPECT_EQ(h.stream->Read(buffer, 0xFFFFFFFFu, &read), S_FALSE);
}

TEST(ResourceStream, SeeksStayInsideTheData) {
  StreamHolder h;
  ULONGLONG at = 0;
  EXPECT_EQ(SeekTo(h.stream, 9, STREAM_SEEK_SET, &at), S_OK);
  EXPECT_EQ(at, 9u);
  EXPECT_EQ(SeekTo(h.stream, -4, STREAM_SEEK_CUR, &at), S_OK);
  EXPECT_EQ(at, 5u);
  // Exactly the size, before the start, or from the end: refused, no move.
  EXPECT_EQ(SeekTo(h.stream, 10, STREAM_SEEK_SET, &at), S_FALSE);
  EXPECT_EQ(at, 0xDEADu);
  EXPECT_EQ(SeekTo(h.stream, -6, STREAM_SEEK_CUR), S_FALSE);
  EXPECT_EQ(SeekTo(h.stream, 0, STREAM_SEEK_END), S_FALSE);
  EXPECT_EQ(SeekTo(h.stream, 1LL << 62, STREAM_SEEK_CUR), S_FALSE);
  EXPECT_EQ(h.stream->position(), 5u);
  EXPECT_EQ(SeekTo(h.stream, 0, 7), STG_E_INVALIDFUNCTION);

  LARGE_INTEGER zero = {};
  EXPECT_EQ(h.stream->Seek(zero, STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(h.stream->position(), 0u);
}

TEST(ResourceStream, StatRevertAndTheUnsupportedOperations) {
  StreamHolder h;
  STATSTG stat;
  std::memset(&stat, 0xFF, sizeof stat);
  EXPECT_EQ(h.stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 10u);
  EXPECT_EQ(stat.pwcsName, nullptr);
  EXPECT_EQ(stat.type, 0u);

  SeekTo(h.stream, 6, STREAM_SEEK_SET);
  EXPECT_EQ(h.stream->Revert(), S_OK);
  EXPECT_EQ(h.stream->position(), 0u);

  ULARGE_INTEGER any = {};
  IStream* clone = nullptr;
  EXPECT_EQ(h.stream->Write(kBytes, 1, nullptr), E_NOTIMPL);
  EXPECT_EQ(h.stream->SetSize(any), E_NOTIMPL);
  EXPECT_EQ(h.stream->CopyTo(nullptr, any, nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(h.stream->Commit(0), E_NOTIMPL);
  EXPECT_EQ(h.stream->LockRegion(any, any, 0), E_NOTIMPL);
  EXPECT_EQ(h.stream->UnlockRegion(any, any, 0), E_NOTIMPL);
  EXPECT_EQ(h.stream->Clone(&clone), E_NOTIMPL);
  EXPECT_EQ(clone, nullptr);
}

TEST(ResourceStream, InterfacesAndReferenceCount) {
  auto* stream = new ResourceStream(kBytes, sizeof kBytes);
  void* out = nullptr;
  for (REFIID iid : {IID_IUnknown, IID_IStream, IID_ISequentialStream}) {
    ASSERT_EQ(stream->QueryInterface(iid, &out), S_OK);
    EXPECT_EQ(out, static_cast<IStream*>(stream));
  }
  EXPECT_EQ(stream->QueryInterface(IID_IDropTarget, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(stream->QueryInterface(IID_IStream, nullptr), E_POINTER);
  // One from construction and three handed out.
  EXPECT_EQ(stream->AddRef(), 5u);
  for (ULONG left = 4; left > 0; --left) EXPECT_EQ(stream->Release(), left);
  EXPECT_EQ(stream->Release(), 0u);  // deleted
}
