// Where the messages of quavel1 --edit are written (the sync editor's comings and goings, shader
// compiles and swaps): standard error, unless the show sent them to a log file
// (edit_messages.h).
//
//     std::fprintf(editOutput(), "quavel1: %s\n", text.c_str());
#pragma once

#include <cstdio>

std::FILE* editOutput();
void setEditOutput(std::FILE* stream);
