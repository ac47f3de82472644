// The window's definition file, through the library's one reader.
#include "window_decode/field_defs_loader.h"

#include <cerrno>
#include <string>
#include <utility>

#include "decode/definition_file.h"
#include "window_decode/error_report.h"
#include "window_decode/field_tables.h"

int load_field_defs(const char* path) {
  std::string contents;
  if (!read_definition_file(path, &contents)) {
    const int reason = errno;
    use_window_dialect(parse_definitions(std::string_view()).dialect);
    errno = reason;  // for a reporter that tells why
    report_error("fopen error");
    return -1;
  }
  return parse_field_defs(contents, path);
}

int parse_field_defs(std::string_view contents, std::string_view path) {
  Definitions definitions = parse_definitions(contents);
  for (const DefinitionProblem& problem : definitions.problems) {
    if (problem.is_error) report_error(problem_text(path, problem).c_str());
  }
  use_window_dialect(std::move(definitions.dialect));
  return definitions.complete ? 0 : -1;
}
