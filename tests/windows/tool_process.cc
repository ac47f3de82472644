// Starting the window program, waiting on it and sending it messages.
#include "tests/windows/tool_process.h"

namespace {

// How often the waits look again.
constexpr DWORD kPollIntervalMs = 10;

// Calls `found` every kPollIntervalMs until it returns something other
// than its zero value or `timeout_ms` has passed; returns the last result.
template <typename Probe>
auto poll(DWORD timeout_ms, Probe found) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  auto result = found();
  while (!result && GetTickCount64() < deadline) {
    Sleep(kPollIntervalMs);
    result = found();
  }
  return result;
}

}  // namespace

PendingSend::PendingSend(HWND target, UINT message, WPARAM wparam, LPARAM lparam)
    : target_(target), message_(message), wparam_(wparam), lparam_(lparam) {
  thread_ = CreateThread(nullptr, 0, send, this, 0, nullptr);
}

PendingSend::~PendingSend() {
  if (thread_ == nullptr) return;
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
}

DWORD WINAPI PendingSend::send(void* pending) {
  auto* self = static_cast<PendingSend*>(pending);
  DWORD_PTR result = 0;
  self->replied_ = SendMessageTimeoutW(self->target_, self->message_, self->wparam_, self->lparam_,
                                       SMTO_NORMAL, kReplyTimeoutMs, &result) != 0;
  self->result_ = static_cast<LRESULT>(result);
  return 0;
}

bool PendingSend::wait(DWORD timeout_ms) const {
  return thread_ != nullptr && WaitForSingleObject(thread_, timeout_ms) == WAIT_OBJECT_0;
}

ToolProcess::ToolProcess(const std::wstring& program, const std::wstring& folder) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION created = {};
  std::wstring command_line = L"\"" + program + L"\"";
  if (CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     folder.c_str(), &startup, &created)) {
    CloseHandle(created.hThread);
    process_ = created.hProcess;
    process_id_ = created.dwProcessId;
  }
}

ToolProcess::~ToolProcess() {
  if (process_ == nullptr) return;
  if (running()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kReplyTimeoutMs);
  }
  CloseHandle(process_);
}

bool ToolProcess::running() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

HWND ToolProcess::find_window(const wchar_t* window_class) const {
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, window_class, nullptr)) != nullptr) {
    DWORD owner_process = 0;
    GetWindowThreadProcessId(window, &owner_process);
    if (owner_process == process_id_ && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

HWND ToolProcess::wait_for_main_window() const {
  if (process_ == nullptr) return nullptr;
  return poll(kStartTimeoutMs, [this] { return find_window(L"trevasktools"); });
}

bool ToolProcess::wait_until_idle() const {
  return process_ != nullptr && WaitForInputIdle(process_, kStartTimeoutMs) == 0;
}

HWND ToolProcess::find_message_box() const { return find_window(L"#32770"); }

HWND ToolProcess::wait_for_message_box() const {
  return poll(kReplyTimeoutMs, [this] { return find_message_box(); });
}

HWND ToolProcess::wait_for_reply_or_message_box(const PendingSend& send) const {
  HWND box = nullptr;
  poll(kReplyTimeoutMs, [&] {
    box = find_message_box();
    return box != nullptr || send.wait(0);
  });
  return box;
}

std::optional<DWORD> ToolProcess::wait_for_exit() const {
  DWORD exit_code = 0;
  if (process_ == nullptr || WaitForSingleObject(process_, kReplyTimeoutMs) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process_, &exit_code)) {
    return std::nullopt;
  }
  return exit_code;
}
