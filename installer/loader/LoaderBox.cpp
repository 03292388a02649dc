#include "installer/loader/LoaderBox.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

#include <dlfcn.h>

namespace loader {

namespace {

constexpr size_t kLineChars = 72;
constexpr int kMargin = 16;
constexpr int kButtonWidth = 80;
constexpr std::uint32_t kFace = 0xD4D0C8;  // the classic button face

// The entries of libxcb the box uses.
#define QX_XCB_ENTRIES(X) \
  X(xcb_connect) \
  X(xcb_connection_has_error) \
  X(xcb_disconnect) \
  X(xcb_get_setup) \
  X(xcb_setup_roots_iterator) \
  X(xcb_generate_id) \
  X(xcb_create_window) \
  X(xcb_change_property) \
  X(xcb_intern_atom) \
  X(xcb_intern_atom_reply) \
  X(xcb_open_font_checked) \
  X(xcb_request_check) \
  X(xcb_query_font) \
  X(xcb_query_font_reply) \
  X(xcb_create_gc) \
  X(xcb_map_window) \
  X(xcb_flush) \
  X(xcb_wait_for_event) \
  X(xcb_image_text_8) \
  X(xcb_poly_rectangle)

// The entries of libxcb the box uses, looked up by name.
struct TXcb {
  void* library = nullptr;
#define QX_XCB(name) decltype(&::name) name = nullptr;
  QX_XCB_ENTRIES(QX_XCB)
#undef QX_XCB

  bool Load() {
    library = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
      return false;
    bool all = true;
    const auto find = [&](auto& entry, const char* name) {
      entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(::dlsym(library, name));
      all = all && entry != nullptr;
    };
#define QX_XCB(name) find(name, #name);
    QX_XCB_ENTRIES(QX_XCB)
#undef QX_XCB
    return all;
  }
  ~TXcb() {
    if (library != nullptr)
      ::dlclose(library);
  }
};

// The message in lines of at most kLineChars, broken at blanks where it
// can be (a longer word, such as a path, is cut).
std::vector<std::string> Lines(const std::string& message) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < message.size()) {
    size_t end = std::min(message.size(), at + kLineChars);
    const size_t newline = message.find('\n', at);
    if (newline != std::string::npos && newline < end) {
      end = newline;
    } else if (end < message.size()) {
      const size_t blank = message.rfind(' ', end);
      if (blank != std::string::npos && blank > at)
        end = blank;
    }
    lines.push_back(message.substr(at, end - at));
    at = end;
    while (at < message.size() && (message[at] == ' ' || message[at] == '\n'))
      ++at;
  }
  return lines;
}

class TBox {
 public:
  TBox(TXcb& x, xcb_connection_t* c) : x_(x), c_(c) {}

  bool Show(const std::string& title, const std::string& message) {
    xcb_screen_t* screen = x_.xcb_setup_roots_iterator(x_.xcb_get_setup(c_)).data;
    if (screen == nullptr || !OpenFont())
      return false;
    lines_ = Lines(message);
    size_t widest = 0;
    for (const std::string& line : lines_)
      widest = std::max(widest, line.size());
    lineHeight_ = ascent_ + descent_ + 2;
    buttonHeight_ = lineHeight_ + 10;
    width_ = std::max(static_cast<int>(widest) * charWidth_ + 2 * kMargin, kButtonWidth + 2 * kMargin);
    height_ = kMargin + static_cast<int>(lines_.size()) * lineHeight_ + kMargin + buttonHeight_ + kMargin;
    const std::uint32_t face = screen->root_depth >= 24 ? kFace : screen->white_pixel;

    window_ = x_.xcb_generate_id(c_);
    const std::uint32_t windowValues[] = {
        face, XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_BUTTON_PRESS};
    x_.xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root,
                         static_cast<std::int16_t>((screen->width_in_pixels - width_) / 2),
                         static_cast<std::int16_t>((screen->height_in_pixels - height_) / 2),
                         static_cast<std::uint16_t>(width_), static_cast<std::uint16_t>(height_), 0,
                         XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                         XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, windowValues);
    Name(title);
    gc_ = x_.xcb_generate_id(c_);
    const std::uint32_t gcValues[] = {screen->black_pixel, face, font_};
    x_.xcb_create_gc(c_, gc_, window_, XCB_GC_FOREGROUND | XCB_GC_BACKGROUND | XCB_GC_FONT, gcValues);
    x_.xcb_map_window(c_, window_);
    x_.xcb_flush(c_);
    Loop();
    return true;
  }

 private:
  bool OpenFont() {
    static const char kFont[] = "fixed";
    font_ = x_.xcb_generate_id(c_);
    if (xcb_generic_error_t* error = x_.xcb_request_check(
            c_, x_.xcb_open_font_checked(c_, font_, sizeof kFont - 1, kFont))) {
      std::free(error);
      return false;
    }
    xcb_query_font_reply_t* info = x_.xcb_query_font_reply(c_, x_.xcb_query_font(c_, font_), nullptr);
    if (info == nullptr)
      return false;
    charWidth_ = std::max<int>(info->max_bounds.character_width, 1);
    ascent_ = info->font_ascent;
    descent_ = info->font_descent;
    std::free(info);
    return true;
  }

  xcb_atom_t Atom(const char* name) {
    xcb_intern_atom_reply_t* reply = x_.xcb_intern_atom_reply(
        c_, x_.xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
  }

  void Property(xcb_atom_t property, xcb_atom_t type, int format, std::uint32_t count, const void* data) {
    x_.xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window_, property, type,
                           static_cast<std::uint8_t>(format), count, data);
  }

  // The title, the class, a dialog of a fixed size that takes the focus and
  // that the window manager closes by asking.
  void Name(const std::string& title) {
    const auto size = static_cast<std::uint32_t>(title.size());
    Property(XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, size, title.data());
    Property(Atom("_NET_WM_NAME"), Atom("UTF8_STRING"), 8, size, title.data());
    static const char kClass[] = "setup\0Velmio";
    Property(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof kClass, kClass);
    const std::uint32_t hints[9] = {1, 1};  // InputHint: the box takes keys
    Property(XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9, hints);
    // PMinSize and PMaxSize: the box keeps its size.
    const auto w = static_cast<std::uint32_t>(width_), h = static_cast<std::uint32_t>(height_);
    const std::uint32_t fixed[18] = {16 | 32, 0, 0, 0, 0, w, h, w, h};
    Property(XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18, fixed);
    deleteWindow_ = Atom("WM_DELETE_WINDOW");
    Property(Atom("WM_PROTOCOLS"), XCB_ATOM_ATOM, 32, 1, &deleteWindow_);
    const xcb_atom_t dialog = Atom("_NET_WM_WINDOW_TYPE_DIALOG");
    Property(Atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &dialog);
  }

  xcb_rectangle_t Button() const {
    return {static_cast<std::int16_t>((width_ - kButtonWidth) / 2),
            static_cast<std::int16_t>(height_ - kMargin - buttonHeight_),
            static_cast<std::uint16_t>(kButtonWidth), static_cast<std::uint16_t>(buttonHeight_)};
  }

  void Text(int x, int y, const std::string& text) {
    x_.xcb_image_text_8(c_, static_cast<std::uint8_t>(std::min<size_t>(text.size(), 255)), window_, gc_,
                        static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), text.data());
  }

  void Paint() {
    for (size_t i = 0; i < lines_.size(); ++i)
      Text(kMargin, kMargin + static_cast<int>(i) * lineHeight_ + ascent_, lines_[i]);
    const xcb_rectangle_t button = Button();
    x_.xcb_poly_rectangle(c_, window_, gc_, 1, &button);
    Text(button.x + (button.width - 2 * charWidth_) / 2, button.y + 5 + 1 + ascent_, "OK");
    x_.xcb_flush(c_);
  }

  void Loop() {
    for (;;) {
      xcb_generic_event_t* event = x_.xcb_wait_for_event(c_);
      if (event == nullptr)
        return;  // the server went
      bool done = false;
      switch (event->response_type & 0x7f) {
        case XCB_EXPOSE:
          if (reinterpret_cast<xcb_expose_event_t*>(event)->count == 0)
            Paint();
          break;
        case XCB_KEY_PRESS:
          done = true;
          break;
        case XCB_BUTTON_PRESS: {
          const auto* press = reinterpret_cast<xcb_button_press_event_t*>(event);
          const xcb_rectangle_t b = Button();
          done = press->event_x >= b.x && press->event_x < b.x + b.width && press->event_y >= b.y &&
                 press->event_y < b.y + b.height;
          break;
        }
        case XCB_CLIENT_MESSAGE:
          done = reinterpret_cast<xcb_client_message_event_t*>(event)->data.data32[0] == deleteWindow_;
          break;
        default:
          break;
      }
      std::free(event);
      if (done)
        return;
    }
  }

  TXcb& x_;
  xcb_connection_t* c_;
  xcb_window_t window_ = 0;
  xcb_gcontext_t gc_ = 0;
  xcb_font_t font_ = 0;
  xcb_atom_t deleteWindow_ = 0;
  std::vector<std::string> lines_;
  int charWidth_ = 6, ascent_ = 11, descent_ = 2, lineHeight_ = 15, buttonHeight_ = 25;
  int width_ = 0, height_ = 0;
};

}  // namespace

bool ShowMessageBox(const std::string& title, const std::string& message) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || display[0] == '\0')
    return false;
  TXcb x;
  if (!x.Load())
    return false;
  xcb_connection_t* c = x.xcb_connect(nullptr, nullptr);
  if (c == nullptr)
    return false;
  bool shown = false;
  if (x.xcb_connection_has_error(c) == 0)
    shown = TBox(x, c).Show(title, message);
  x.xcb_disconnect(c);
  return shown;
}

}  // namespace loader
