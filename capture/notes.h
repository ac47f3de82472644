// Where the capture reader's notes go: problems of the input that do not
// end it, one line of text each. iso8583dump writes them on standard error;
// tests keep them.
#ifndef CAPTURE_NOTES_H_
#define CAPTURE_NOTES_H_

#include <functional>
#include <string>

using NoteSink = std::function<void(const std::string& note)>;

#endif  // CAPTURE_NOTES_H_
