// The main window: its class, its controls and what the buttons and the
// close box do.
#include "ui/main_window.h"

#include <string>

#include "ui/cp936_text.h"
#include "ui/user_messages.h"
#include "ui/window_geometry.h"
#include "window_decode/decode_request.h"
#include "window_decode/window_limits.h"

namespace {

constexpr wchar_t kWindowClass[] = L"trevasktools";
constexpr wchar_t kIconFile[] = L"trevask.ico";

constexpr char kCaption[] =
    "KorvelinISO8583\xB1\xA8\xCE\xC4\xBD\xE2\xCE\xF6\xB9\xA4\xBE\xDF"
    "V1.0";  // KorvelinISO8583报文解析工具V1.0
constexpr char kInputPlaceholder[] =
    "\xCA\xAE\xC1\xF9\xBD\xF8\xD6\xC6\xB1\xA8\xCE\xC4\xCA\xE4\xC8\xEB";  // 十六进制报文输入
constexpr char kOutputPlaceholder[] = "\xBD\xE1\xB9\xFB\xCA\xE4\xB3\xF6";  // 结果输出
constexpr char kParseLabel[] = "\xBD\xE2\xCE\xF6";                         // 解析
constexpr char kClearLabel[] = "\xC7\xE5\xC6\xC1";                         // 清屏
constexpr char kOddDigitCountMessage[] = "msg length error";
constexpr char kNotHexMessage[] = "msg hex error";

constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
                             ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
constexpr DWORD kOutputStyle = kEditStyle | ES_READONLY;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE;
static_assert(kEditStyle == 0x50B000C4 && kOutputStyle == 0x50B008C4 && kButtonStyle == 0x50000000);

// Every control has this identifier; commands are told apart by the handle
// of the control that sends them.
constexpr int kControlId = 1;

// The text boxes span the window less this much.
constexpr int kBoxWidthMargin = 25;
// The output box spans the window's height less this much.
constexpr int kOutputHeightMargin = 190;

// Set when the window is created, for the life of the process.
WindowGeometry main_geometry;
HWND input_edit;
HWND output_edit;
HWND parse_button;
HWND clear_button;

void set_text(HWND control, std::string_view cp936_text) {
  SetWindowTextW(control, cp936_to_wide(cp936_text).data());
}

HWND create_control(HWND parent, HINSTANCE instance, const wchar_t* control_class,
                    const char* cp936_text, DWORD style, int left, int top, int width, int height) {
  return CreateWindowExW(0, control_class, cp936_to_wide(cp936_text).data(), style, left, top,
                         width, height, parent, reinterpret_cast<HMENU>(kControlId), instance,
                         nullptr);
}

void create_controls(HWND window, HINSTANCE instance) {
  const int box_width = main_geometry.width - kBoxWidthMargin;
  input_edit = create_control(window, instance, L"edit", kInputPlaceholder, kEditStyle, 10, 10,
                              box_width, 100);
  output_edit = create_control(window, instance, L"edit", kOutputPlaceholder, kOutputStyle, 10, 150,
                               box_width, main_geometry.height - kOutputHeightMargin);
  parse_button =
      create_control(window, instance, L"button", kParseLabel, kButtonStyle, 150, 115, 100, 30);
  clear_button =
      create_control(window, instance, L"button", kClearLabel, kButtonStyle, 350, 115, 100, 30);
}

// The input box's text, read as the decoder expects it: at most
// kInputTextLimit characters, in code page 936.
std::string read_input_text() {
  WideText text(kInputTextLimit + 1, L'\0');
  const int length = GetWindowTextW(input_edit, text.data(), static_cast<int>(text.size()));
  return wide_to_cp936(text.data(), length);
}

LRESULT on_parse() {
  Report report;
  switch (decode_request(read_input_text(), &report)) {
    case DecodeOutcome::kOddDigitCount:
      show_error(kOddDigitCountMessage);
      return -1;
    case DecodeOutcome::kTooShort:
      set_text(output_edit, "");
      return -1;
    case DecodeOutcome::kNotHex:
      show_error(kNotHexMessage);
      return -1;
    case DecodeOutcome::kUnpacked:
    case DecodeOutcome::kUnpackFailed:
      set_text(output_edit, report);
      break;
  }
  return 0;
}

LRESULT on_clear() {
  set_text(input_edit, "");
  set_text(output_edit, "");
  return 0;
}

LRESULT on_command(HWND sender) {
  if (sender == parse_button) return on_parse();
  if (sender == clear_button) return on_clear();
  return 0;
}

}  // namespace

bool register_main_window_class(HINSTANCE instance) {
  WNDCLASSW window_class = {};
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = main_window_proc;
  window_class.hInstance = instance;
  // A missing icon file leaves the class without an icon.
  window_class.hIcon =
      static_cast<HICON>(LoadImageW(nullptr, kIconFile, IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  window_class.lpszClassName = kWindowClass;
  return RegisterClassW(&window_class) != 0;
}

HWND create_main_window(HINSTANCE instance) {
  main_geometry =
      main_window_geometry(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  return CreateWindowExW(0, kWindowClass, cp936_to_wide(kCaption).data(), WS_OVERLAPPEDWINDOW,
                         main_geometry.left, main_geometry.top, main_geometry.width,
                         main_geometry.height, nullptr, nullptr, instance, nullptr);
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      create_controls(window, reinterpret_cast<CREATESTRUCTW*>(lparam)->hInstance);
      return 0;
    case WM_COMMAND:
      return on_command(reinterpret_cast<HWND>(lparam));
    case WM_CLOSE:
      if (confirm_close(window)) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}
