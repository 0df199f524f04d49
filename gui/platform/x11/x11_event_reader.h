#pragma once
#include <X11/Xlib.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace VSTGUI::platform::x11 {

// The display connection that made the frame's window, and with it every
// event of that window, read on a thread of its own as they arrive. The
// thread answers exposures at once by copying the last finished picture (a
// pixmap the editor's thread paints) back onto the window; input waits in
// a queue, in order, for the editor's next idle. The thread never calls
// the frame, so the script's drawing stays on the editor's thread.
//
// The connection is used by one thread at a time: the caller's until
// start() and again in the destructor, the reader's in between, so Xlib
// needs no thread support of its own.
class EventReader {
 public:
  // Takes the connection and the window made on it; the picture (same
  // size and depth) stays the caller's. Null when the thread cannot be
  // started; the window is destroyed and the connection closed then.
  static std::unique_ptr<EventReader> start(Display* display, ::Window window, Pixmap picture);
  // Ends and joins the thread, destroys the window unless it is gone, and
  // closes the connection.
  ~EventReader();
  EventReader(const EventReader&) = delete;
  EventReader& operator=(const EventReader&) = delete;

  // Lets the reader read what the connection holds now, then moves every
  // queued event into `events` in arrival order.
  void take(std::vector<XEvent>& events);
  // Held while the picture is painted, so an exposure never copies half of
  // a paint.
  std::unique_lock<std::mutex> lockPicture() { return std::unique_lock<std::mutex>(pictureLock_); }
  // With the picture lock held: the picture is whole, and exposures are
  // copied from it from now on instead of being queued for a paint.
  void pictureFinished() { pictureFinished_ = true; }

  // Enough for every click a user can make between two idles; moves are
  // merged, so only a host that stops idling reaches it (newer events are
  // then dropped).
  static constexpr size_t kQueueLimit = 1 << 16;

 private:
  EventReader(Display* display, ::Window window, Pixmap picture, int wakeRead, int wakeWrite);
  void run();
  void readAvailable();
  void dispatch(XEvent& event);
  void restore(const XExposeEvent& expose);
  void enqueue(const XEvent& event);
  void wake();

  Display* display_;
  ::Window window_;
  Pixmap picture_;
  GC gc_ = nullptr;
  int wakeRead_;
  int wakeWrite_;
  // Set when the window's destruction was read: nothing is copied onto it
  // any more, and the destructor leaves it alone.
  bool windowGone_ = false;

  std::mutex pictureLock_;
  bool pictureFinished_ = false;

  std::mutex queueLock_;
  std::condition_variable served_;
  std::deque<XEvent> queue_;
  uint64_t readsAsked_ = 0;
  uint64_t readsDone_ = 0;
  bool quit_ = false;

  std::thread thread_;
};

}  // namespace VSTGUI::platform::x11
