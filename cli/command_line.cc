// The options and the opening and closing steps that iso8583dump and
// iso8583pack share.
#include "cli/command_line.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <climits>
#include <cstdlib>
#include <unistd.h>
#endif

#include <filesystem>
#include <set>
#include <utility>

#include "cli/build_config.h"
#include "decode/definition_file.h"
#include "decode/dialect_text.h"

namespace {

void report_system_error(const Program& program, const char* name, int error) {
  std::fprintf(stderr, "%s: %s: %s\n", program.name, name, std::strerror(error));
}

// The folder of the running program, with its trailing separator; empty
// when it cannot be told.
std::string program_folder() {
#ifdef _WIN32
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return std::string();
  std::string folder(path, length);
#else
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return std::string();
  std::string folder(path, static_cast<size_t>(length));
#endif
  return folder.substr(0, folder.find_last_of("/\\") + 1);
}

// The folder of the shipped dialects beside this program.
std::string dialects_folder() { return program_folder() + ISO8583_DIALECTS_FOLDER; }

constexpr char kDialectSuffix[] = ".ini";

// The first line of the comment that opens the file at `path`, without its
// '#': what the dialect is.
std::string dialect_title(const std::filesystem::path& path) {
  std::FILE* file = std::fopen(path.string().c_str(), "rb");
  if (file == nullptr) return std::string();
  char line[256];
  std::string title;
  while (std::fgets(line, sizeof line, file) != nullptr) {
    std::string text(line);
    const size_t start = text.find_first_not_of("# \t");
    if (text.empty() || text[0] != '#') break;
    if (start == std::string::npos || text[start] == '\r' || text[start] == '\n') continue;
    title = text.substr(start, text.find_last_not_of(" \t\r\n") + 1 - start);
    break;
  }
  std::fclose(file);
  return title;
}

}  // namespace

bool read_option_value(int argc, const char* const* argv, int* k, const char* name,
                       const char** value, std::string* error) {
  const char* arg = argv[*k];
  const size_t name_length = std::strlen(name);
  if (std::strncmp(arg, name, name_length) != 0) return false;
  if (arg[name_length] == '=') {
    *value = arg + name_length + 1;
  } else if (arg[name_length] != '\0') {
    return false;
  } else if (*k + 1 < argc) {
    *value = argv[++*k];
  } else {
    *error = std::string(name) + " needs a value";
  }
  return true;
}

bool read_common_argument(int argc, const char* const* argv, int* k, CommonOptions* options,
                          std::string* error) {
  const char* arg = argv[*k];
  const char* defs = nullptr;
  if (read_option_value(argc, argv, k, "--defs", &defs, error)) {
    if (defs != nullptr) options->defs_path = defs;
    options->defs_given = true;
  } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
    options->help = true;
  } else if (std::strcmp(arg, "--version") == 0) {
    options->version = true;
  } else if (std::strcmp(arg, "--dialects") == 0) {
    options->list_dialects = true;
  } else if (std::strcmp(arg, "--print-defs") == 0) {
    options->print_definitions = true;
  } else if (arg[0] == '-' && arg[1] != '\0') {
    *error = std::string("unknown option ") + arg;
  } else if (options->have_input) {
    *error = std::string("more than one input: ") + arg;
  } else {
    options->input_path = arg;
    options->have_input = true;
  }
  return error->empty();
}

void print_usage_error(const Program& program, const std::string& error) {
  std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program.name,
               error.c_str(), program.name);
}

bool answer_help_or_version(const Program& program, const CommonOptions& options) {
  if (options.help) {
    std::fputs(program.usage, stdout);
  } else if (options.version) {
    std::printf("%s %s\n", program.name, ISO8583_VERSION);
  }
  return options.help || options.version;
}

void use_binary_standard_streams() {
#ifdef _WIN32
  // The output carries its own line ends; the console must not add more.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

std::FILE* open_input(const Program& program, const std::string& path) {
  std::FILE* file = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    report_input_error(program, path, errno);
    return nullptr;
  }
  // A directory opens on some systems, and would read as empty.
  struct stat status;
  if (fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
    report_input_error(program, path, EISDIR);
    if (file != stdin) std::fclose(file);
    return nullptr;
  }
  return file;
}

void report_input_error(const Program& program, const std::string& path, int error) {
  report_system_error(program, path == "-" ? "standard input" : path.c_str(), error);
}

std::vector<std::string> shipped_dialects() {
  std::error_code error;
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dialects_folder(), error)) {
    if (entry.path().extension() == kDialectSuffix) names.insert(entry.path().stem().string());
  }
  return std::vector<std::string>(names.begin(), names.end());
}

std::string shipped_dialect_path(const std::string& name) {
  return dialects_folder() + name + kDialectSuffix;
}

std::string sample_definitions() {
  const std::string folder = program_folder();
  if (folder.empty()) return std::string();
  const std::string sample = folder + ISO8583_SAMPLE_DEFINITIONS;
#ifdef _WIN32
  return GetFileAttributesA(sample.c_str()) != INVALID_FILE_ATTRIBUTES ? sample : std::string();
#else
  char resolved[PATH_MAX];
  return realpath(sample.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
#endif
}

bool list_dialects(const Program& program) {
  const std::vector<std::string> names = shipped_dialects();
  if (names.empty()) {
    std::fprintf(stderr, "%s: no dialects in %s\n", program.name, dialects_folder().c_str());
    return false;
  }
  for (const std::string& name : names) {
    const std::string title = dialect_title(shipped_dialect_path(name));
    std::printf("%-16s %s\n", name.c_str(), title.c_str());
  }
  return true;
}

std::string definitions_file(const std::string& name) {
  std::error_code error;
  if (std::filesystem::exists(name, error) || name.find_first_of("/\\.") != std::string::npos) {
    return name;
  }
  const std::string shipped = shipped_dialect_path(name);
  if (std::filesystem::exists(shipped, error)) return shipped;
  const std::string sample = name == kSampleName ? sample_definitions() : std::string();
  return sample.empty() ? name : sample;
}

bool load_definitions(const Program& program, const std::string& name, Decoder* decoder,
                      bool* complete) {
  const std::string path = definitions_file(name);
  std::string contents;
  if (!read_definition_file(path.c_str(), &contents)) {
    const int error = errno;
    std::fprintf(stderr, "fopen error: %s: %s\n", path.c_str(), std::strerror(error));
    const std::string sample = sample_definitions();
    if (error == ENOENT && path == kDefaultDefinitions && !sample.empty()) {
      std::fprintf(stderr,
                   "%s: a sample %s is installed as %s; copy it here or name it with --defs\n",
                   program.name, kDefaultDefinitions, sample.c_str());
    }
    return false;
  }
  Definitions definitions = parse_definitions(contents);
  for (const DefinitionProblem& problem : definitions.problems) {
    std::fprintf(stderr, "%s\n", problem_text(path, problem).c_str());
  }
  if (definitions.stopped_at_first_line) {
    std::fprintf(stderr, "%s: %s is no definition file: its first line ends the reading\n",
                 program.name, path.c_str());
    return false;
  }
  *complete = definitions.complete;
  *decoder = Decoder(std::move(definitions.dialect));
  return definitions.trusted();
}

void print_definitions(const Dialect& dialect) {
  std::string text;
  write_dialect(dialect, &text);
  std::fwrite(text.data(), 1, text.size(), stdout);
}

bool finish_output(const Program& program, Output* output) {
  if (output->flush()) return true;
  if (output->error() != EPIPE) report_system_error(program, "standard output", output->error());
  return false;
}
