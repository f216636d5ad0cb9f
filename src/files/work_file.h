// A file that another program writes (ffmpeg, say), delivered the way OutputFile delivers
// its own: the other program writes under a hidden work name beside the final one, and the
// work file takes the final name only when complete, so that name never holds half a file.
//
//   if (!files::checkOutput(path, {}, &error)) return refuse(error);
//   const std::string work = files::workName(path);   // clip.mp4 -> .clip.mp4.partial.mp4
//   run("ffmpeg ... " + work);
//   if (!ok || !files::deliverWork(work, path, &error)) files::abandonWork(work);
#pragma once

#include <string>

namespace files {

// The hidden work name beside `path`, keeping its extension (a program such as ffmpeg picks the
// format by it): clip.mp4 -> .clip.mp4.partial.mp4.
std::string workName(const std::string& path);

// Renames the finished work file to `path`, replacing what is there. On failure the work file
// is removed and *error says why.
bool deliverWork(const std::string& work, const std::string& path, std::string* error);

// Removes the work file, if there is one.
void abandonWork(const std::string& work);

} // namespace files
