#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace korvane {

// One line-oriented text file. Lines are written with CR LF (outside programs
// read these files) and read with either CR LF or LF. Every "\" in a path is
// taken as "/". Open operations return 0 or -1.
class CFileMgmt {
  public:
    // folder "/" name, created or emptied, for reading and writing. A file it
    // creates is 0600: some of these files carry credentials.
    int OpenForWrite(std::string_view folder, std::string_view name);
    int OpenForRead(std::string_view folder, std::string_view name);
    // Read-only; callers also use it to test that a file exists.
    int OpenPath(std::string_view path);

    // Writes text and a line end at the end of the file; every "\n" inside text
    // is written as CR LF too. 0, or -1 when no file is open or the write failed.
    int AppendLine(std::string_view text);
    // The next line without its line end; "-1" when no line can be read.
    std::string ReadLine();

    // Appends every line of the file at path, each followed by CR LF, to out.
    // 1, or -11 when the file cannot be opened or read. Independent of the open file.
    int ReadAllLines(std::string_view path, std::string& out) const;

    // 0, or -1 when buffered data could not be written.
    int Close();
    bool IsOpen() const { return file_ != nullptr; }

  private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

    int Adopt(std::FILE* file);

    FilePtr file_;
};

}  // namespace korvane
