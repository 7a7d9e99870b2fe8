// The program folder and the files in it. Every file of the program is the program folder followed by a text
// that begins with a backslash ("\cache\gps"); app_file is the one place that turns it into a Linux path.
#pragma once

#include <filesystem>
#include <string>

namespace zel {

// The folder of the running executable, without a trailing separator.
std::wstring app_folder();
// Points the program folder elsewhere (tests use a temporary folder); an empty text restores the default.
void set_app_folder(const std::wstring& folder);

// The program folder joined with a name such as "\cache\servers" or "main.id", backslashes turned into "/".
std::filesystem::path app_file(const std::wstring& name);

// First whitespace-delimited word of a file, one byte per character; empty when the file is missing.
std::wstring read_first_word(const std::filesystem::path& file);
// First line of a file without its line end, at most max_chars characters, one byte per character.
std::wstring read_first_line(const std::filesystem::path& file, size_t max_chars);

// Writes every byte to a descriptor, going on after short writes and interruptions; false on an error.
bool write_all(int fd, const std::string& bytes);

// Writes a file through a temporary beside it, flushed and renamed over the old one, so a power cut leaves
// either the old or the new contents. Returns false (and leaves the old file) on any failure.
bool write_file_atomic(const std::filesystem::path& file, const std::string& bytes);

// First line of "navigation.txt" (at most 254 characters), or empty.
std::wstring read_navigation_path();

} // namespace zel
