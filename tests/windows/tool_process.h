// The window program started for one test, and the waiting that driving it
// through window messages needs: for its main window, for its message
// boxes, for its replies and for its end. Every wait is bounded.
#ifndef TESTS_WINDOWS_TOOL_PROCESS_H_
#define TESTS_WINDOWS_TOOL_PROCESS_H_

#include <windows.h>

#include <optional>
#include <string>

// How long the program may take to show its window; Wine's first start of
// a program is slow.
constexpr DWORD kStartTimeoutMs = 60000;
// How long the program may take to answer one message, to show a message
// box or to end.
constexpr DWORD kReplyTimeoutMs = 20000;

// A message sent to the program from a thread of its own, so that the test
// can answer the message boxes that the program shows before it replies.
class PendingSend {
 public:
  PendingSend(HWND target, UINT message, WPARAM wparam, LPARAM lparam);
  // Waits for the reply (at most kReplyTimeoutMs after the send).
  ~PendingSend();

  PendingSend(const PendingSend&) = delete;
  PendingSend& operator=(const PendingSend&) = delete;

  // Waits up to `timeout_ms` for the send to end; true when it has.
  bool wait(DWORD timeout_ms) const;
  // True when the program replied (rather than the send failing or timing
  // out); meaningful once wait() returned true.
  bool replied() const { return replied_; }
  // The program's reply.
  LRESULT result() const { return result_; }

 private:
  static DWORD WINAPI send(void* pending);

  HWND target_;
  UINT message_;
  WPARAM wparam_;
  LPARAM lparam_;
  bool replied_ = false;
  LRESULT result_ = 0;
  HANDLE thread_;
};

class ToolProcess {
 public:
  // Starts `program` with `folder` as its current directory.
  ToolProcess(const std::wstring& program, const std::wstring& folder);
  // Ends the program if it still runs.
  ~ToolProcess();

  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  // True when the program was started.
  bool started() const { return process_ != nullptr; }
  // True while the program runs.
  bool running() const;

  // Waits for the program's top-level window of class "trevasktools" to
  // be visible; nullptr when none came. Its controls, created with it, are
  // there by then.
  HWND wait_for_main_window() const;
  // Waits until the program waits for input in a message loop.
  bool wait_until_idle() const;

  // A visible message box (dialog class "#32770") of the program, or nullptr.
  HWND find_message_box() const;
  // Waits for a message box of the program; nullptr when none came.
  HWND wait_for_message_box() const;
  // Waits until `send` ends or the program shows a message box; returns
  // the box, or nullptr when the send ended first (or neither came).
  HWND wait_for_reply_or_message_box(const PendingSend& send) const;

  // Waits for the program to end; its exit code, or nothing when it runs on.
  std::optional<DWORD> wait_for_exit() const;

 private:
  // A visible top-level window of the program with class `window_class`,
  // or nullptr.
  HWND find_window(const wchar_t* window_class) const;

  HANDLE process_ = nullptr;
  DWORD process_id_ = 0;
};

#endif  // TESTS_WINDOWS_TOOL_PROCESS_H_
