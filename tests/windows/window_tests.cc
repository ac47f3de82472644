// The end-to-end tests of iso8583tool.exe, the window program. Each run of
// this driver starts the program in a scratch folder, drives its window with
// window messages as a user's clicks would, answers its message boxes and
// checks what the window shows:
//   window_test_driver TEST --tool EXE --definitions INI --icon ICO
//                           --examples DIR --expected DIR
// The expected folder holds the reports that iso8583dump --raw printed for
// the same messages. The exit status is 0 when every check held.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/windows/check.h"
#include "tests/windows/scratch_folder.h"
#include "tests/windows/tool_process.h"
#include "tests/windows/window_access.h"

namespace {

// What the window shows, written here in Unicode: the program keeps them in
// code page 936, and they must come out right on any system code page.
const std::wstring kCaption = L"KorvelinISO8583报文解析工具V1.0";
const std::wstring kInputPlaceholder = L"十六进制报文输入";
const std::wstring kOutputPlaceholder = L"结果输出";
const std::wstring kParseLabel = L"解析";
const std::wstring kClearLabel = L"清屏";
const std::wstring kErrorTitle = L"错误";
const std::wstring kNoticeTitle = L"提示";
const std::wstring kCloseQuestion = L"是否关闭程序?";

// The layout on the 1024 x 768 screen that the tests run on.
constexpr int kWindowLeft = 212;
constexpr int kWindowWidth = 600;
constexpr int kWindowHeight = 728;
constexpr int kBoxWidth = 575;
constexpr int kOutputBoxHeight = 538;

constexpr LONG kInputStyle = 0x50B000C4;
constexpr LONG kOutputStyle = 0x50B008C4;
constexpr LONG kButtonStyle = 0x50000000;
constexpr int kControlId = 1;

// Where the test finds the program and its files.
struct Paths {
  std::wstring tool;
  std::wstring definitions;
  std::wstring icon;
  std::wstring examples;
  std::wstring expected;
};
Paths paths;

// The program's main window and its four controls, in creation order.
struct Window {
  HWND main = nullptr;
  HWND input_edit = nullptr;
  HWND output_edit = nullptr;
  HWND parse_button = nullptr;
  HWND clear_button = nullptr;
};

// A message box as the program must show it.
struct ExpectedBox {
  std::wstring title;
  std::wstring text;
  HWND owner;
  std::vector<int> buttons;
};

std::string read_file(const std::wstring& path) {
  std::string contents;
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!check(file != nullptr, "cannot read " + to_utf8(path))) return contents;
  char block[4096];
  size_t length;
  while ((length = std::fread(block, 1, sizeof(block), file)) > 0) contents.append(block, length);
  std::fclose(file);
  return contents;
}

// Code page 936 text as Unicode, converted here rather than by the
// program's own conversion so that a fault there cannot hide itself.
std::wstring from_cp936(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  std::wstring wide(MultiByteToWideChar(936, 0, text.data(), length, nullptr, 0), L'\0');
  MultiByteToWideChar(936, 0, text.data(), length, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

// The sample message `name` from the examples folder, without its line end.
std::wstring sample_message(const std::wstring& name) {
  std::wstring text = from_cp936(read_file(paths.examples + L"\\" + name + L".hex"));
  text.erase(text.find_last_not_of(L"\r\n") + 1);
  return text;
}

// The report that iso8583dump --raw printed for the message `name`, as the
// output box must show it.
std::wstring expected_report(const std::wstring& name) {
  return from_cp936(read_file(paths.expected + L"\\" + name + L".report"));
}

std::string describe(const MessageBoxView& box) {
  return "\"" + to_utf8(box.title) + "\": \"" + to_utf8(box.text) + "\"";
}

void check_message_box(HWND box, const ExpectedBox& expected, const std::string& what) {
  const MessageBoxView shown = read_message_box(box);
  check_text(shown.title, expected.title, what + ": the message box's title");
  check_text(shown.text, expected.text, what + ": the message box's text");
  check(shown.owner == expected.owner, what + ": the message box's owner window");
  check(shown.buttons == expected.buttons, what + ": the message box's buttons");
}

// Sends `message` and expects the program to reply without showing a
// message box. Returns the reply, or nothing after a failed check.
std::optional<LRESULT> send_expecting_no_box(const ToolProcess& tool, HWND target, UINT message,
                                             WPARAM wparam, LPARAM lparam,
                                             const std::string& what) {
  PendingSend pending(target, message, wparam, lparam);
  if (HWND box = tool.wait_for_reply_or_message_box(pending)) {
    const MessageBoxView shown = read_message_box(box);
    check(false, what + ": unexpected message box " + describe(shown));
    // The last button is the harmless one: OK, or No to the close question.
    if (!shown.buttons.empty()) press_message_box_button(box, shown.buttons.back());
    return std::nullopt;
  }
  if (!check(pending.wait(0) && pending.replied(), what + ": the program did not reply")) {
    return std::nullopt;
  }
  return pending.result();
}

// Sends `message`, expects the program to show the message box `expected`
// before it replies, answers it with the button `answer` and returns the
// reply, or nothing after a failed check.
std::optional<LRESULT> send_answering_box(const ToolProcess& tool, HWND target, UINT message,
                                          WPARAM wparam, LPARAM lparam, const ExpectedBox& expected,
                                          int answer, const std::string& what) {
  PendingSend pending(target, message, wparam, lparam);
  HWND box = tool.wait_for_reply_or_message_box(pending);
  if (!check(box != nullptr, what + ": no message box came")) return std::nullopt;
  check_message_box(box, expected, what);
  check(press_message_box_button(box, answer), what + ": cannot press the answer");
  if (!check(pending.wait(kReplyTimeoutMs) && pending.replied(),
             what + ": the program did not reply after the answer")) {
    return std::nullopt;
  }
  check(tool.find_message_box() == nullptr, what + ": the message box stayed");
  return pending.result();
}

// Clicks `button` with BM_CLICK, which makes it send its command to the main
// window as a mouse click would; expects no message box.
void click(const ToolProcess& tool, HWND button, const std::string& what) {
  send_expecting_no_box(tool, button, BM_CLICK, 0, 0, what);
}

// Sends the main window the command that `control` sends when clicked and
// returns the window procedure's result; expects no message box.
std::optional<LRESULT> command(const ToolProcess& tool, const Window& window, HWND control,
                               const std::string& what) {
  return send_expecting_no_box(tool, window.main, WM_COMMAND, MAKEWPARAM(kControlId, BN_CLICKED),
                               reinterpret_cast<LPARAM>(control), what);
}

// Fills the scratch folder as a user's would be: the definitions (those of
// `definitions`, as bitmap.ini) and the icon beside the program.
bool fill_folder(const ScratchFolder& folder, const std::wstring& definitions) {
  return check(!folder.path().empty(), "cannot create a scratch folder") &&
         check(folder.copy_in(definitions, L"bitmap.ini"), "cannot copy bitmap.ini") &&
         check(folder.copy_in(paths.icon), "cannot copy trevask.ico");
}

// Finds the program's main window and its four controls.
bool find_window(const ToolProcess& tool, Window* window) {
  if (!check(tool.started(), "cannot start " + to_utf8(paths.tool))) return false;
  window->main = tool.wait_for_main_window();
  if (!check(window->main != nullptr, "no window of class trevasktools came")) return false;
  const std::vector<HWND> children = child_windows(window->main);
  if (!check_equal(children.size(), 4, "child windows of the main window")) return false;
  window->input_edit = children[0];
  window->output_edit = children[1];
  window->parse_button = children[2];
  window->clear_button = children[3];
  return true;
}

// Finds the window once the program has read bitmap.ini and waits in its
// message loop, and checks that it showed no message box on the way.
bool open_window(const ToolProcess& tool, Window* window) {
  if (!find_window(tool, window)) return false;
  if (!check(tool.wait_until_idle(), "the program never waited for input")) return false;
  return send_expecting_no_box(tool, window->main, WM_NULL, 0, 0, "start-up").has_value();
}

// Checks a control of the main window: class, text, style, identifier,
// place and size, and that no font was set on it.
void check_control(HWND control, const std::wstring& control_class, const std::wstring& text,
                   LONG style, const RECT& expected, const std::string& what) {
  check(_wcsicmp(window_class(control).c_str(), control_class.c_str()) == 0,
        what + ": class " + to_utf8(window_class(control)));
  check_text(window_text(control), text, what + ": text");
  // An edit control created with WS_BORDER takes it off its style and
  // draws the border itself; every other bit must be as created.
  check_equal(GetWindowLongW(control, GWL_STYLE) & ~WS_BORDER, style & ~WS_BORDER,
              what + ": style, WS_BORDER aside");
  check_equal(GetWindowLongW(control, GWL_EXSTYLE), 0, what + ": extended style");
  check_equal(GetWindowLongPtrW(control, GWLP_ID), kControlId, what + ": identifier");
  const RECT found = rect_in_parent(control);
  check_equal(found.left, expected.left, what + ": left");
  check_equal(found.top, expected.top, what + ": top");
  check_equal(found.right - found.left, expected.right - expected.left, what + ": width");
  check_equal(found.bottom - found.top, expected.bottom - expected.top, what + ": height");
  DWORD_PTR font = 0;
  SendMessageTimeoutW(control, WM_GETFONT, 0, 0, SMTO_NORMAL, kReplyTimeoutMs, &font);
  check(font == 0, what + ": no font set, the system's is used");
}

constexpr COLORREF kWhite = RGB(255, 255, 255);

// The colour on the screen at the client point `point` of `window`, once it
// is `expected` or after kReplyTimeoutMs, as the window may not be drawn
// yet.
COLORREF screen_colour(HWND window, POINT point, COLORREF expected) {
  ClientToScreen(window, &point);
  HDC screen = GetDC(nullptr);
  const ULONGLONG deadline = GetTickCount64() + kReplyTimeoutMs;
  COLORREF colour = GetPixel(screen, point.x, point.y);
  while (colour != expected && GetTickCount64() < deadline) {
    Sleep(10);
    colour = GetPixel(screen, point.x, point.y);
  }
  ReleaseDC(nullptr, screen);
  return colour;
}

RECT rect_of(int left, int top, int width, int height) {
  return RECT{left, top, left + width, top + height};
}

// Starts the program in a scratch folder named `label`, filled as a user's
// would be with `definitions` (the repository's bitmap.ini when empty), and
// runs `test` once its window waits for input.
void run_started(const wchar_t* label,
                 const std::function<void(const ToolProcess&, const Window&)>& test,
                 const std::wstring& definitions = std::wstring()) {
  ScratchFolder folder(label);
  if (!fill_folder(folder, definitions.empty() ? paths.definitions : definitions)) return;
  ToolProcess tool(paths.tool, folder.path());
  Window window;
  if (open_window(tool, &window)) test(tool, window);
}

void test_system_code_page_is_not_936() {
  check(GetACP() != 936, "the tests run on a system whose ANSI code page is " +
                             std::to_string(GetACP()) +
                             ", not 936, so that the window's "
                             "Chinese texts show that the program does not depend on it");
}

void test_layout(const ToolProcess&, const Window& window) {
  check_text(window_text(window.main), kCaption, "caption");
  RECT rect = {};
  GetWindowRect(window.main, &rect);
  check_equal(rect.left, kWindowLeft, "window left");
  check_equal(rect.top, 0, "window top");
  check_equal(rect.right - rect.left, kWindowWidth, "window width");
  check_equal(rect.bottom - rect.top, kWindowHeight, "window height");
  // Windows adds WS_CLIPSIBLINGS to every top-level window, and
  // WS_EX_WINDOWEDGE to those with a caption.
  check_equal(GetWindowLongW(window.main, GWL_STYLE) & ~WS_CLIPSIBLINGS,
              WS_OVERLAPPEDWINDOW | WS_VISIBLE, "window style, WS_CLIPSIBLINGS aside");
  check_equal(GetWindowLongW(window.main, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0,
              "window extended style, WS_EX_WINDOWEDGE aside");
  check_equal(GetClassLongW(window.main, GCL_STYLE), CS_HREDRAW | CS_VREDRAW, "class style");
  // Wine does not tell other processes a class's brush; the screen shows it.
  for (const POINT& gap : {POINT{5, 130}, POINT{300, 130}, POINT{500, 130}}) {
    check(screen_colour(window.main, gap, kWhite) == kWhite,
          "white background between the boxes at " + std::to_string(gap.x) + "," +
              std::to_string(gap.y));
  }

  check_control(window.input_edit, L"Edit", kInputPlaceholder, kInputStyle,
                rect_of(10, 10, kBoxWidth, 100), "input box");
  check_control(window.output_edit, L"Edit", kOutputPlaceholder, kOutputStyle,
                rect_of(10, 150, kBoxWidth, kOutputBoxHeight), "output box");
  check_control(window.parse_button, L"Button", kParseLabel, kButtonStyle,
                rect_of(150, 115, 100, 30), "Parse button");
  check_control(window.clear_button, L"Button", kClearLabel, kButtonStyle,
                rect_of(350, 115, 100, 30), "Clear button");

  GUITHREADINFO focus = {};
  focus.cbSize = sizeof(focus);
  GetGUIThreadInfo(GetWindowThreadProcessId(window.main, nullptr), &focus);
  for (HWND control : child_windows(window.main)) {
    check(focus.hwndFocus != control, "no control was given the keyboard focus");
  }
}

// Pastes `message`, clicks Parse and checks that the output box shows
// exactly `report`; then checks the window procedure's result for the same
// command, which must give the same report again.
void check_parse(const std::wstring& message, const std::wstring& report, const std::string& what,
                 const std::wstring& definitions = std::wstring()) {
  run_started(L"parse", [&](const ToolProcess& tool, const Window& window) {
    check(set_window_text(window.input_edit, message), what + ": paste into the input box");
    click(tool, window.parse_button, what + ": Parse");
    check_text(window_text(window.output_edit), report, what + ": output box after Parse");
    check_text(window_text(window.input_edit), message, what + ": the input box keeps the text");

    click(tool, window.clear_button, what + ": Clear");
    check(set_window_text(window.input_edit, message), what + ": paste again");
    const std::optional<LRESULT> result = command(tool, window, window.parse_button, what);
    if (result) check_equal(*result, 0, what + ": result of the Parse command");
    check_text(window_text(window.output_edit), report, what + ": output box after the command");
  }, definitions);
}

void test_parse_purchase() {
  check_parse(sample_message(L"purchase"), expected_report(L"purchase"), "purchase");
}

void test_parse_response() {
  check_parse(sample_message(L"response"), expected_report(L"response"), "response");
}

void test_parse_reversal() {
  check_parse(sample_message(L"reversal"), expected_report(L"reversal"), "reversal");
}

// With the UnionPay POS dialect as its bitmap.ini, the window decodes a
// POS message: header, BCD type and lengths, packed numbers and tracks.
void test_parse_unionpay_pos() {
  check_parse(sample_message(L"unionpay-pos"), expected_report(L"unionpay-pos"), "UnionPay POS",
              paths.examples + L"\\..\\dialects\\unionpay-pos.ini");
}

// With the example dialect of every layout, the window shows each composite
// field's parts below it, as the other programs do.
void test_parse_layouts_example() {
  check_parse(sample_message(L"layouts-example"), expected_report(L"layouts-example"),
              "layouts example", paths.examples + L"\\..\\dialects\\layouts-example.ini");
}

// The purchase message typed with a space between bytes and a line break
// after every 32 bytes decodes as the unbroken text.
void test_parse_spaced_lines() {
  const std::wstring unbroken = sample_message(L"purchase");
  std::wstring spaced;
  for (size_t at = 0; at < unbroken.size(); at += 2) {
    if (at > 0) spaced += (at % 64 == 0) ? L"\r\n" : L" ";
    spaced += unbroken.substr(at, 2);
  }
  check_parse(spaced, expected_report(L"purchase"), "purchase with blanks");
}

// A Chinese character after the purchase message is two bytes in code page
// 936: the program must read the text in that code page, whatever the
// system's, or the digit count would be odd ("msg length error"); as two
// characters that are no hexadecimal digits, the text is refused.
void test_parse_cp936_input(const ToolProcess& tool, const Window& window) {
  const std::wstring message = from_cp936(read_file(paths.expected + L"\\purchase-cp936.hex"));
  check(message.find(L'中') != std::wstring::npos, "the message carries the Chinese character");
  set_window_text(window.input_edit, message);
  const ExpectedBox hex_error = {kErrorTitle, L"msg hex error", nullptr, {IDOK}};
  send_answering_box(tool, window.parse_button, BM_CLICK, 0, 0, hex_error, IDOK,
                     "Parse on the purchase and a Chinese character");
  check_text(window_text(window.output_edit), kOutputPlaceholder, "the output box is unchanged");
}

void test_parse_placeholder(const ToolProcess& tool, const Window& window) {
  const std::optional<LRESULT> result =
      command(tool, window, window.parse_button, "Parse on the placeholder");
  if (result) check_equal(*result, -1, "result of Parse on the placeholder (too short)");
  check_text(window_text(window.output_edit), L"", "the output box is emptied");
  check_text(window_text(window.input_edit), kInputPlaceholder, "the input box keeps its text");
}

// Shows the purchase message's report, then parses `refused`, which must be
// answered by `box` alone and leave both boxes as they were; returns the
// report, which stays in the output box.
std::wstring check_refused(const ToolProcess& tool, const Window& window,
                           const std::wstring& refused, const ExpectedBox& box,
                           const std::string& what) {
  set_window_text(window.input_edit, sample_message(L"purchase"));
  click(tool, window.parse_button, "Parse on the purchase message");
  const std::wstring report = window_text(window.output_edit);
  check_text(report, expected_report(L"purchase"), "the report before " + what);

  set_window_text(window.input_edit, refused);
  const std::optional<LRESULT> result = send_answering_box(
      tool, window.main, WM_COMMAND, MAKEWPARAM(kControlId, BN_CLICKED),
      reinterpret_cast<LPARAM>(window.parse_button), box, IDOK, what);
  if (result) check_equal(*result, -1, "result of Parse on " + what);
  check_text(window_text(window.output_edit), report, "the output box is unchanged");
  check_text(window_text(window.input_edit), refused, "the input box is unchanged");
  return report;
}

void test_parse_odd_digit_count(const ToolProcess& tool, const Window& window) {
  const std::wstring purchase = sample_message(L"purchase");
  const ExpectedBox length_error = {kErrorTitle, L"msg length error", nullptr, {IDOK}};
  const std::wstring odd = purchase.substr(0, purchase.size() - 1);
  const std::wstring report = check_refused(tool, window, odd, length_error, "an odd digit count");

  // The same through the button itself.
  send_answering_box(tool, window.parse_button, BM_CLICK, 0, 0, length_error, IDOK,
                     "Parse button on an odd digit count");
  check_text(window_text(window.output_edit), report, "the output box is still unchanged");
}

// A letter that is no hexadecimal digit, typed for a 6: the text has an
// even count and enough bytes, and is refused by a message box of its own.
void test_parse_not_hex(const ToolProcess& tool, const Window& window) {
  std::wstring typo = sample_message(L"purchase");
  typo[typo.find(L'6')] = L'G';
  check_refused(tool, window, typo, {kErrorTitle, L"msg hex error", nullptr, {IDOK}},
                "a non-hexadecimal digit");
}

void test_clear(const ToolProcess& tool, const Window& window) {
  click(tool, window.clear_button, "Clear on the placeholders");
  check_text(window_text(window.input_edit), L"", "Clear empties the input placeholder");
  check_text(window_text(window.output_edit), L"", "Clear empties the output placeholder");

  set_window_text(window.input_edit, sample_message(L"purchase"));
  click(tool, window.parse_button, "Parse on the purchase message");
  check_text(window_text(window.output_edit), expected_report(L"purchase"), "the report");
  const std::optional<LRESULT> result = command(tool, window, window.clear_button, "Clear");
  if (result) check_equal(*result, 0, "result of Clear");
  check_text(window_text(window.input_edit), L"", "Clear empties the message");
  check_text(window_text(window.output_edit), L"", "Clear empties the report");
}

// Commands from anything but the two buttons, such as the edit controls'
// notifications, change nothing.
void test_other_commands(const ToolProcess& tool, const Window& window) {
  const struct {
    WORD notification;
    HWND sender;
    const char* what;
  } commands[] = {
      {EN_CHANGE, window.input_edit, "EN_CHANGE from the input box"},
      {EN_SETFOCUS, window.output_edit, "EN_SETFOCUS from the output box"},
      {0, nullptr, "a command with no control"},
  };
  for (const auto& sent : commands) {
    const std::optional<LRESULT> result = send_expecting_no_box(
        tool, window.main, WM_COMMAND, MAKEWPARAM(kControlId, sent.notification),
        reinterpret_cast<LPARAM>(sent.sender), sent.what);
    if (result) check_equal(*result, 0, std::string("result of ") + sent.what);
    check_text(window_text(window.input_edit), kInputPlaceholder,
               std::string("input box after ") + sent.what);
    check_text(window_text(window.output_edit), kOutputPlaceholder,
               std::string("output box after ") + sent.what);
  }
}

void test_close_answered_no(const ToolProcess& tool, const Window& window) {
  const std::wstring purchase = sample_message(L"purchase");
  set_window_text(window.input_edit, purchase);
  click(tool, window.parse_button, "Parse on the purchase message");
  const std::wstring report = window_text(window.output_edit);

  const ExpectedBox question = {kNoticeTitle, kCloseQuestion, window.main, {IDYES, IDNO}};
  const std::optional<LRESULT> result =
      send_answering_box(tool, window.main, WM_CLOSE, 0, 0, question, IDNO, "close, No");
  if (result) check_equal(*result, 0, "result of WM_CLOSE");
  check(tool.running(), "the program runs on after No");
  check(IsWindow(window.main) && IsWindowVisible(window.main), "the window stays after No");
  check_text(window_text(window.input_edit), purchase, "the input box is unchanged after No");
  check_text(window_text(window.output_edit), report, "the output box is unchanged after No");
  check_text(report, expected_report(L"purchase"), "the report before closing");
}

void test_close_answered_yes(const ToolProcess& tool, const Window& window) {
  const ExpectedBox question = {kNoticeTitle, kCloseQuestion, window.main, {IDYES, IDNO}};
  const std::optional<LRESULT> result =
      send_answering_box(tool, window.main, WM_CLOSE, 0, 0, question, IDYES, "close, Yes");
  if (result) check_equal(*result, 0, "result of WM_CLOSE");
  const std::optional<DWORD> exit_code = tool.wait_for_exit();
  if (check(exit_code.has_value(), "the program ends after Yes")) {
    check_equal(*exit_code, 0, "exit code after Yes");
  }
  check(!IsWindow(window.main), "the window is gone after Yes");
}

// Without bitmap.ini the program says so over its visible window, and then
// decodes with no field defined. Without trevask.ico it runs all the same.
void test_missing_definitions() {
  ScratchFolder folder(L"no-definitions");
  if (!check(!folder.path().empty(), "cannot create a scratch folder")) return;
  ToolProcess tool(paths.tool, folder.path());
  Window window;
  if (!find_window(tool, &window)) return;

  HWND box = tool.wait_for_message_box();
  if (!check(box != nullptr, "no message box about bitmap.ini came")) return;
  check(IsWindowVisible(window.main), "the window is visible under the message box");
  check_message_box(box, {kErrorTitle, L"fopen error", nullptr, {IDOK}}, "missing bitmap.ini");
  check(press_message_box_button(box, IDOK), "cannot press OK");
  check(tool.wait_until_idle(), "the program waits for input after the message box");
  if (!send_expecting_no_box(tool, window.main, WM_NULL, 0, 0, "after the message box")) return;

  const std::wstring purchase = sample_message(L"purchase");
  set_window_text(window.input_edit, purchase);
  click(tool, window.parse_button, "Parse with no definitions");
  const std::wstring report = window_text(window.output_edit);
  check_text(report, expected_report(L"purchase-undefined"), "report with no definitions");
  // With nothing defined the message type indicator is 0 bytes long, so the
  // bitmap is read from the message's first bytes, "0200", whose first
  // flagged field is 3 (0x30 flags fields 3 and 4).
  const std::wstring undefined_ending = L"fld[000][000]=[]\r\nfld[3] bitmap is not exist!\r\n";
  check(report.find(undefined_ending) != std::wstring::npos,
        "the report ends at field 3, not defined");
}

// Not a test: leaves the window showing the purchase message decoded, for
// scripts/screenshot.sh to capture, says "posed" on standard output once it
// does, and waits for the program to be ended.
void pose_for_screenshot(const ToolProcess& tool, const Window& window) {
  set_window_text(window.input_edit, sample_message(L"purchase"));
  click(tool, window.parse_button, "Parse on the purchase message");
  if (!check(window_text(window.output_edit).size() > kOutputPlaceholder.size(),
             "the output box shows a report")) {
    return;
  }
  std::printf("posed\n");
  std::fflush(stdout);
  while (tool.running()) Sleep(100);
}

const std::map<std::string, std::function<void()>> kTests = {
    {"system_code_page_is_not_936", test_system_code_page_is_not_936},
    {"layout", [] { run_started(L"layout", test_layout); }},
    {"parse_purchase", test_parse_purchase},
    {"parse_response", test_parse_response},
    {"parse_reversal", test_parse_reversal},
    {"parse_unionpay_pos", test_parse_unionpay_pos},
    {"parse_layouts_example", test_parse_layouts_example},
    {"parse_spaced_lines", test_parse_spaced_lines},
    {"parse_cp936_input", [] { run_started(L"cp936", test_parse_cp936_input); }},
    {"parse_placeholder", [] { run_started(L"placeholder", test_parse_placeholder); }},
    {"parse_odd_digit_count", [] { run_started(L"odd", test_parse_odd_digit_count); }},
    {"parse_not_hex", [] { run_started(L"not-hex", test_parse_not_hex); }},
    {"clear", [] { run_started(L"clear", test_clear); }},
    {"other_commands", [] { run_started(L"commands", test_other_commands); }},
    {"close_answered_no", [] { run_started(L"close-no", test_close_answered_no); }},
    {"close_answered_yes", [] { run_started(L"close-yes", test_close_answered_yes); }},
    {"missing_definitions", test_missing_definitions},
    {"pose_for_screenshot", [] { run_started(L"pose", pose_for_screenshot); }},
};

// `path` made absolute; a Unix path becomes one on the drive of the
// current folder, which Wine maps to the Unix root.
std::wstring full_path(const wchar_t* path) {
  wchar_t full[MAX_PATH];
  const DWORD length = GetFullPathNameW(path, MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? std::wstring(full, length) : std::wstring(path);
}

bool parse_arguments(int argc, wchar_t** argv) {
  const std::map<std::wstring, std::wstring*> options = {
      {L"--tool", &paths.tool},         {L"--definitions", &paths.definitions},
      {L"--icon", &paths.icon},         {L"--examples", &paths.examples},
      {L"--expected", &paths.expected},
  };
  size_t given = 0;
  for (int i = 2; i + 1 < argc; i += 2) {
    const auto option = options.find(argv[i]);
    if (option == options.end()) return false;
    *option->second = full_path(argv[i + 1]);
    ++given;
  }
  return argc % 2 == 0 && given == options.size();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  const auto test = argc > 1 ? kTests.find(to_utf8(argv[1])) : kTests.end();
  if (test == kTests.end() || !parse_arguments(argc, argv)) {
    std::printf(
        "usage: window_test_driver TEST --tool EXE --definitions INI --icon ICO "
        "--examples DIR --expected DIR\ntests:");
    for (const auto& known : kTests) std::printf(" %s", known.first.c_str());
    std::printf("\n");
    return 2;
  }
  test->second();
  std::printf("%s: %s\n", test->first.c_str(), failed_checks() == 0 ? "passed" : "FAILED");
  return failed_checks() == 0 ? 0 : 1;
}
