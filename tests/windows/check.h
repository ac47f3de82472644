// The checks of the window tests. A failed check prints what was expected
// and what was found; the test fails when any check failed.
#ifndef TESTS_WINDOWS_CHECK_H_
#define TESTS_WINDOWS_CHECK_H_

#include <string>

// Records `condition`; when it is false, prints `what` as a failure.
// Returns `condition`.
bool check(bool condition, const std::string& what);

// Checks that two numbers are equal.
bool check_equal(long long actual, long long expected, const std::string& what);

// Checks that two texts are equal, character for character. On a difference
// prints both lengths, where the texts part and a piece of each from there.
bool check_text(const std::wstring& actual, const std::wstring& expected, const std::string& what);

// How many checks have failed so far.
int failed_checks();

// `text` in UTF-8, for the test's messages.
std::string to_utf8(const std::wstring& text);

#endif  // TESTS_WINDOWS_CHECK_H_
