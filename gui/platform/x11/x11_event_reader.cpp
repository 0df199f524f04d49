#include "gui/platform/x11/x11_event_reader.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>

#include "gui/platform/x11/x11_error_trap.h"

namespace VSTGUI::platform::x11 {

namespace {

// How long an idle waits for the reader to read what has arrived; a reader
// that does not answer in time (a stalled server) costs one late idle, not
// a hung editor.
constexpr auto kReadWait = std::chrono::milliseconds(100);

bool isQueued(int type) {
  switch (type) {
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
    case LeaveNotify:
    case DestroyNotify:
    case Expose:
      return true;
    default:
      return false;
  }
}

}  // namespace

EventReader::EventReader(Display* display, ::Window window, Pixmap picture, int wakeRead, int wakeWrite)
    : display_(display), window_(window), picture_(picture), wakeRead_(wakeRead), wakeWrite_(wakeWrite) {}

std::unique_ptr<EventReader> EventReader::start(Display* display, ::Window window, Pixmap picture) {
  int wake[2];
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    XCloseDisplay(display);
    return nullptr;
  }
  std::unique_ptr<EventReader> reader(new EventReader(display, window, picture, wake[0], wake[1]));
  XGCValues values{};
  values.graphics_exposures = False;  // the copies need no answer events
  {
    ErrorTrap trap(display);
    reader->gc_ = XCreateGC(display, picture, GCGraphicsExposures, &values);
  }
  try {
    reader->thread_ = std::thread([r = reader.get()] {
      r->run();
      // A reader that stopped (its wait failed) no longer keeps idles
      // waiting for it.
      {
        std::lock_guard<std::mutex> lock(r->queueLock_);
        r->readsDone_ = UINT64_MAX;
      }
      r->served_.notify_all();
    });
  } catch (const std::system_error&) {
    return nullptr;
  }
  return reader;
}

EventReader::~EventReader() {
  if (thread_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(queueLock_);
      quit_ = true;
    }
    wake();
    thread_.join();
  }
  {
    ErrorTrap trap(display_);
    if (!windowGone_) XDestroyWindow(display_, window_);
    if (gc_) XFreeGC(display_, gc_);
  }
  XCloseDisplay(display_);
  close(wakeRead_);
  close(wakeWrite_);
}

void EventReader::wake() {
  const char byte = 1;
  // A full pipe already holds a wake-up.
  while (write(wakeWrite_, &byte, 1) < 0 && errno == EINTR) {
  }
}

void EventReader::take(std::vector<XEvent>& events) {
  std::unique_lock<std::mutex> lock(queueLock_);
  const uint64_t asked = ++readsAsked_;
  lock.unlock();
  wake();
  lock.lock();
  served_.wait_for(lock, kReadWait, [&] { return readsDone_ >= asked; });
  events.insert(events.end(), queue_.begin(), queue_.end());
  queue_.clear();
}

void EventReader::run() {
  pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wakeRead_, POLLIN, 0}};
  for (;;) {
    uint64_t asked = 0;
    {
      std::lock_guard<std::mutex> lock(queueLock_);
      if (quit_) return;
      asked = readsAsked_;
    }
    // Everything that arrived before the read was asked for is read now.
    readAvailable();
    {
      std::lock_guard<std::mutex> lock(queueLock_);
      readsDone_ = asked;
    }
    served_.notify_all();

    fds[0].revents = fds[1].revents = 0;
    if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
    if (fds[1].revents & POLLIN) {
      char bytes[64];
      while (read(wakeRead_, bytes, sizeof bytes) > 0) {
      }
    }
    // A connection the server closed is left to Xlib's own handling on the
    // editor's side; reading it here would only repeat that.
    if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
      fds[0].fd = -1;
    }
  }
}

void EventReader::readAvailable() {
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    dispatch(event);
  }
}

void EventReader::dispatch(XEvent& event) {
  if (event.xany.window != window_ || windowGone_ || !isQueued(event.type)) return;
  if (event.type == DestroyNotify) {
    if (event.xdestroywindow.window != window_) return;
    windowGone_ = true;
  }
  if (event.type == Expose) {
    restore(event.xexpose);
    return;
  }
  enqueue(event);
}

void EventReader::restore(const XExposeEvent& expose) {
  std::unique_lock<std::mutex> picture(pictureLock_);
  if (!pictureFinished_) {
    // Nothing painted yet: the editor's next paint covers it.
    picture.unlock();
    XEvent event{};
    event.xexpose = expose;
    enqueue(event);
    return;
  }
  ErrorTrap trap(display_);
  XCopyArea(display_, picture_, window_, gc_, expose.x, expose.y, static_cast<unsigned>(expose.width),
            static_cast<unsigned>(expose.height), expose.x, expose.y);
}

void EventReader::enqueue(const XEvent& event) {
  std::lock_guard<std::mutex> lock(queueLock_);
  // A run of moves is delivered as its newest, as the Windows message
  // queue does.
  if (event.type == MotionNotify && !queue_.empty() && queue_.back().type == MotionNotify) {
    queue_.back() = event;
    return;
  }
  if (queue_.size() < kQueueLimit) queue_.push_back(event);
}

}  // namespace VSTGUI::platform::x11
