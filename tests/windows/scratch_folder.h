// A fresh folder for one run of the window program, so that each test
// chooses which files (bitmap.ini, trevask.ico) the program finds.
#ifndef TESTS_WINDOWS_SCRATCH_FOLDER_H_
#define TESTS_WINDOWS_SCRATCH_FOLDER_H_

#include <string>

class ScratchFolder {
 public:
  // Creates an empty folder in the temporary folder, named after `label`
  // and this process.
  explicit ScratchFolder(const std::wstring& label);
  // Removes the folder and the files in it.
  ~ScratchFolder();

  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's full path; empty when it could not be created.
  const std::wstring& path() const { return path_; }

  // Copies `file` into the folder under `name`, or under its own name when
  // `name` is empty; false on failure.
  bool copy_in(const std::wstring& file, const std::wstring& name = std::wstring()) const;

 private:
  std::wstring path_;
};

#endif  // TESTS_WINDOWS_SCRATCH_FOLDER_H_
